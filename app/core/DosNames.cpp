#include "app/core/DosNames.h"

#include <QDir>

namespace orvello {

namespace {

// Letters, digits and the punctuation DOS accepts in a name.
bool DosCharacter(QChar c) {
    const char16_t u = c.unicode();
    if ((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || (u >= '0' && u <= '9')) return true;
    return QStringLiteral("!#$%&'()-@^_`{}~").contains(c);
}

bool AllDos(const QString& text) {
    for (QChar c : text) {
        if (!DosCharacter(c)) return false;
    }
    return true;
}

// The characters DOS allows, in capitals, others dropped.
QString DosCharacters(const QString& text) {
    QString kept;
    for (QChar c : text) {
        if (DosCharacter(c)) kept += c.toUpper();
    }
    return kept;
}

bool Taken(const QString& name, const QStringList& entries) {
    return DosMatch(name, entries).has_value();
}

}  // namespace

bool IsDosName(const QString& name) {
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    const QString base = dot < 0 ? name : name.left(dot);
    const QString ext = dot < 0 ? QString() : name.mid(dot + 1);
    if (base.isEmpty() || base.size() > 8 || !AllDos(base)) return false;
    if (dot >= 0 && (ext.isEmpty() || ext.size() > 3 || !AllDos(ext))) return false;
    return true;
}

QString MakeDosName(const QString& longName, const QStringList& folderEntries) {
    if (IsDosName(longName)) return longName.toUpper();
    const qsizetype dot = longName.lastIndexOf(QLatin1Char('.'));
    // A leading dot ("..rom", ".hidden") starts no extension.
    const bool hasExt = dot > 0;
    QString base = DosCharacters(hasExt ? longName.left(dot) : longName);
    const QString ext = hasExt ? DosCharacters(longName.mid(dot + 1)).left(3) : QString();
    if (base.isEmpty()) base = QStringLiteral("ROM");
    const QString dotExt = ext.isEmpty() ? QString() : QLatin1Char('.') + ext;
    // DOSBox shows each long name of the folder under a short name of its own in the same
    // pattern, numbered in an order of its own: the first numbers of the pattern are left to
    // them, so that no name the front-end makes can stand for one of the user's files.
    int longNamesAlike = 0;
    for (const QString& entry : folderEntries) {
        if (IsDosName(entry)) continue;
        const qsizetype d = entry.lastIndexOf(QLatin1Char('.'));
        const QString b = DosCharacters(d > 0 ? entry.left(d) : entry);
        const QString e = d > 0 ? DosCharacters(entry.mid(d + 1)).left(3) : QString();
        if (b.left(6) == base.left(6) && e == ext) ++longNamesAlike;
    }
    for (int n = longNamesAlike + 1; n < 1000000; ++n) {
        const QString tail = QLatin1Char('~') + QString::number(n);
        const QString candidate = base.left(8 - tail.size()) + tail + dotExt;
        if (!Taken(candidate, folderEntries)) return candidate;
    }
    return QString();  // a folder of a million such names: no name is left
}

QStringList FolderEntries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

std::optional<QString> DosMatch(const QString& name, const QStringList& folderEntries) {
    for (const QString& entry : folderEntries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) return entry;
    }
    return std::nullopt;
}

}  // namespace orvello
