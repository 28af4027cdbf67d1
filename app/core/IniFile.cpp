#include "app/core/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#include <optional>
#include <vector>

namespace orvello {

namespace {

// The file as lines of bytes, each without its line break, and the break the file uses.
struct Lines {
    std::vector<QByteArray> lines;
    QByteArray eol = "\n";
};

// Reads the whole file. A missing file is empty; one that exists but cannot be read gives
// nothing, so a write never replaces content it could not see.
std::optional<Lines> Load(const QString& path) {
    Lines result;
    QFile file(path);
    if (!file.exists()) return result;
    if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError) return std::nullopt;
    const qsizetype firstBreak = data.indexOf('\n');
    if (firstBreak > 0 && data.at(firstBreak - 1) == '\r') result.eol = "\r\n";
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        if (end < 0) end = data.size();
        QByteArray line = data.mid(start, end - start);
        if (line.endsWith('\r')) line.chop(1);
        result.lines.push_back(std::move(line));
        start = end + 1;
    }
    return result;
}

bool SameName(const QByteArray& stored, const QString& wanted) {
    return QString::fromUtf8(stored.trimmed()).compare(wanted.trimmed(), Qt::CaseInsensitive) == 0;
}

// The section name of a "[name]" line.
std::optional<QByteArray> SectionName(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (!t.startsWith('[')) return std::nullopt;
    const qsizetype close = t.indexOf(']');
    if (close < 0) return std::nullopt;
    return t.mid(1, close - 1);
}

// The key of a "key=value" line; comment lines have none.
std::optional<QByteArray> KeyName(const QByteArray& line) {
    const QByteArray t = line.trimmed();
    if (t.isEmpty() || t.startsWith(';') || t.startsWith('[')) return std::nullopt;
    const qsizetype eq = t.indexOf('=');
    if (eq < 0) return std::nullopt;
    return t.left(eq);
}

struct Position {
    qsizetype section = -1;  // line of the section header
    qsizetype key = -1;      // line of the key inside it
    qsizetype end = 0;       // one past the last line of the section
};

Position Find(const std::vector<QByteArray>& lines, const QString& section, const QString& key) {
    Position pos;
    const auto count = static_cast<qsizetype>(lines.size());
    for (qsizetype i = 0; i < count; ++i) {
        const auto name = SectionName(lines[i]);
        if (!name) continue;
        if (SameName(*name, section)) {
            pos.section = i;
            break;
        }
    }
    if (pos.section < 0) return pos;
    pos.end = count;
    for (qsizetype i = pos.section + 1; i < count; ++i) {
        if (SectionName(lines[i])) {
            pos.end = i;
            break;
        }
        if (pos.key < 0) {
            const auto name = KeyName(lines[i]);
            if (name && SameName(*name, key)) pos.key = i;
        }
    }
    return pos;
}

// Line breaks inside a name or value would split it into lines of their own (and could add
// sections or keys nobody wrote), so they become blanks.
QByteArray OneLine(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return t.toUtf8();
}

// The file a write really replaces: the target of a symbolic link (followed to the end of
// a chain, even when the last target does not exist yet), so the link itself stays.
QString WriteTarget(const QString& path) {
    QFileInfo info(path);
    for (int hops = 0; info.isSymLink() && hops < 40; ++hops) {
        info = QFileInfo(info.symLinkTarget());
    }
    return info.absoluteFilePath();
}

void Save(const QString& path, const Lines& content) {
    const QString target = WriteTarget(path);
    const QFileInfo targetInfo(target);
    if (!QDir().mkpath(targetInfo.absolutePath())) throw SettingsWriteError(path);
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly)) throw SettingsWriteError(path);
    if (targetInfo.exists()) file.setPermissions(targetInfo.permissions());
    for (const auto& line : content.lines) {
        file.write(line);
        file.write(content.eol);
    }
    if (!file.commit()) throw SettingsWriteError(path);
}

}  // namespace

SettingsWriteError::SettingsWriteError(const QString& fileName)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(fileName).toStdString()),
      text_(QStringLiteral("Unable to write to %1").arg(fileName)) {}

QString IniFile::ReadText(const QString& section, const QString& key, const QString& def) const {
    const auto content = Load(path_);
    if (!content) return def;
    const Position pos = Find(content->lines, section, key);
    if (pos.key < 0) return def;
    const QByteArray& line = content->lines[static_cast<std::size_t>(pos.key)];
    QString value = QString::fromUtf8(line.mid(line.indexOf('=') + 1).trimmed());
    if (value.size() > MaxProfileText) {
        value.truncate(MaxProfileText);
        if (value.back().isHighSurrogate()) value.chop(1);
    }
    return value;
}

int ProfileInteger(const QString& text, int def) {
    bool ok = false;
    if (text.size() > 2 &&
        (text.startsWith(QLatin1String("0x")) || text.startsWith(QLatin1String("0X")))) {
        const QStringView digits = QStringView(text).mid(2);
        // Eight hexadecimal digits fill the 32 bits; the top bit makes the value negative.
        const uint value = digits.toUInt(&ok, 16);
        const bool plainDigits =
            !digits.startsWith(QLatin1Char('+')) && !digits.startsWith(QLatin1Char('-'));
        return ok && plainDigits ? static_cast<int>(value) : def;
    }
    const int value = text.toInt(&ok, 10);
    return ok ? value : def;
}

int IniFile::ReadInteger(const QString& section, const QString& key, int def) const {
    const QString text = ReadText(section, key, QString());
    if (text.isEmpty()) return def;
    return ProfileInteger(text, def);
}

bool IniFile::ReadBoolean(const QString& section, const QString& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void IniFile::WriteText(const QString& section, const QString& key, const QString& value) {
    auto content = Load(path_);
    if (!content) throw SettingsWriteError(path_);
    auto& lines = content->lines;
    const QByteArray keyLine = OneLine(key) + '=' + OneLine(value);
    const Position pos = Find(lines, section, key);
    if (pos.key >= 0) {
        lines[static_cast<std::size_t>(pos.key)] = keyLine;
    } else if (pos.section >= 0) {
        // After the section's last non-blank line, so blank lines between sections stay.
        qsizetype at = pos.end;
        while (at > pos.section + 1 && lines[static_cast<std::size_t>(at - 1)].trimmed().isEmpty())
            --at;
        lines.insert(lines.begin() + at, keyLine);
    } else {
        if (!lines.empty() && !lines.back().trimmed().isEmpty()) lines.emplace_back();
        lines.push_back('[' + OneLine(section) + ']');
        lines.push_back(keyLine);
    }
    Save(path_, *content);
}

void IniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteText(section, key, QString::number(value));
}

void IniFile::WriteBoolean(const QString& section, const QString& key, bool value) {
    WriteText(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QString DefaultSettingsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

}  // namespace orvello
