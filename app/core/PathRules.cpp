#include "app/core/PathRules.h"

namespace orvello {

QString FolderOf(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    if (slash < 0) return QString();
    if (slash == 0) return QStringLiteral("/");
    return path.left(slash);
}

std::optional<int> WholeNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    const QStringView rest = QStringView(text).mid(i);
    if (rest.isEmpty()) return std::nullopt;
    qsizetype digitsFrom = 0;
    if (rest.front() == QLatin1Char('+') || rest.front() == QLatin1Char('-')) digitsFrom = 1;
    if (digitsFrom == rest.size()) return std::nullopt;
    for (qsizetype k = digitsFrom; k < rest.size(); ++k) {
        const QChar c = rest.at(k);
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    }
    bool ok = false;
    const int value = rest.toInt(&ok, 10);
    if (!ok) return std::nullopt;
    return value;
}

QString NotAnIntegerMessage(const QString& text) {
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

std::vector<FilterEntry> ParseFilter(const QString& filter) {
    std::vector<FilterEntry> entries;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        FilterEntry entry{parts.at(i), {}};
        for (const QString& mask : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString trimmed = mask.trimmed();
            if (!trimmed.isEmpty()) entry.masks.push_back(trimmed);
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

namespace {

bool Glob(QStringView name, QStringView mask) {
    // Iterative match with one back-tracking point for the last "*".
    qsizetype n = 0, m = 0, starM = -1, starN = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask.at(m) == QLatin1Char('?') ||
                                mask.at(m).toCaseFolded() == name.at(n).toCaseFolded())) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask.at(m) == QLatin1Char('*')) {
            starM = m++;
            starN = n;
        } else if (starM >= 0) {
            m = starM + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask.at(m) == QLatin1Char('*'))
        ++m;
    return m == mask.size();
}

}  // namespace

bool MatchesMask(const QString& fileName, const QString& mask) {
    if (mask == QLatin1String("*") || mask == QLatin1String("*.*")) return true;
    return Glob(fileName, mask);
}

bool MatchesAnyMask(const QString& fileName, const QStringList& masks) {
    for (const QString& mask : masks) {
        if (MatchesMask(fileName, mask)) return true;
    }
    return false;
}

bool OpenFilterAccepts(const FilterEntry& entry, const QString& fileName, bool executable) {
    if (MatchesAnyMask(fileName, entry.masks)) return true;
    return executable && entry.description == QLatin1String(AllExecutableFiles);
}

}  // namespace orvello
