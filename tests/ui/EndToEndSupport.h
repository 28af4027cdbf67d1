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
// name first), then "cwd=" and its working folder, then "roms:" and the names in that
// folder, then for each argument naming a folder there "dir NAME:" and the names in it: a
// ROM or a game folder it was handed must be there while it runs.
inline bool WriteStandInEmulator(const QString& path, const QString& log) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
    QByteArray script = R"sh(#!/bin/sh
export LC_ALL=C
log=LOG
for a in "$0" "$@"; do printf '%s\n' "$a"; done >> "$log"
printf 'cwd=%s\n' "$(pwd)" >> "$log"
printf 'roms:%s\n' "$(ls -A | tr '\n' ' ')" >> "$log"
for a in "$@"; do
    if [ -d "$a" ]; then printf 'dir %s:%s\n' "$a" "$(ls -A "$a" | tr '\n' ' ')" >> "$log"; fi
done
exit 0
)sh";
    script.replace("LOG", "'" + QFile::encodeName(log).replace("'", "'\\''") + "'");
    file.write(script);
    file.close();
    return file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser);
}

}  // namespace orvello::test
