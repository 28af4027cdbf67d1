// What the end-to-end and description tests share beyond UiTestSupport: a stand-in emulator
// that records how it was started, and readable failure messages for Qt texts.
#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QStringList& texts, std::ostream* os) {
    *os << '{';
    for (qsizetype i = 0; i < texts.size(); ++i)
        *os << (i ? ", \"" : "\"") << texts[i].toStdString() << '"';
    *os << '}';
}

namespace orvello::test {

// Writes an executable script at path that appends to log one line per argument (its own
// name first), then "cwd=" and its working folder, then "roms:" and the names of the files
// in that folder; a ROM it was handed by name must be there while it runs.
inline bool WriteStandInEmulator(const QString& path, const QString& log) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    const QByteArray quotedLog = "'" + QFile::encodeName(log).replace("'", "'\\''") + "'";
    file.write(
        "#!/bin/sh\n"
        "for a in \"$0\" \"$@\"; do printf '%s\\n' \"$a\"; done >> " +
        quotedLog +
        "\n"
        "printf 'cwd=%s\\n' \"$(pwd)\" >> " +
        quotedLog +
        "\n"
        "printf 'roms:%s\\n' \"$(ls -A | tr '\\n' ' ')\" >> " +
        quotedLog + "\n");
    file.close();
    return file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

}  // namespace orvello::test
