#include "selector/SelectorNames.h"

namespace orvello {

namespace {

// Where the extension of the file-name part begins, or -1.
qsizetype ExtensionStart(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > slash ? dot : -1;
}

}  // namespace

std::string StoredFileNamePart(std::string_view stored) {
    const auto slash = stored.rfind('/');
    return std::string(slash == std::string_view::npos ? stored : stored.substr(slash + 1));
}

QString WithExtension(const QString& path, const QString& extension) {
    const qsizetype dot = ExtensionStart(path);
    return (dot < 0 ? path : path.left(dot)) + extension;
}

QString WithoutExtension(const QString& name) {
    const qsizetype dot = ExtensionStart(name);
    return dot < 0 ? name : name.left(dot);
}

QStringList PreviewCandidates(const QString& previewFile) {
    if (previewFile.isEmpty()) return {};
    return {previewFile, WithExtension(previewFile, QStringLiteral(".png")),
            WithExtension(previewFile, QStringLiteral(".jpg"))};
}

bool NameLess(const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    if (folded != 0) return folded < 0;
    return QString::compare(a, b, Qt::CaseSensitive) < 0;
}

NameKey::NameKey(const QString& name) : name_(&name) {
    folded_.resize(static_cast<std::size_t>(name.size()));
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        if (c >= 0x80) {
            ascii_ = false;
            folded_.clear();
            return;
        }
        // Case folding of ASCII is A-Z to a-z, as the case-insensitive comparison does it.
        folded_[static_cast<std::size_t>(i)] =
            static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
    }
}

bool NameKey::operator<(const NameKey& other) const {
    if (!ascii_ || !other.ascii_) return NameLess(*name_, *other.name_);
    const int folded = folded_.compare(other.folded_);
    if (folded != 0) return folded < 0;
    // Equal but for case: the case-sensitive order of UTF-16 units, which for ASCII is the
    // order of the bytes.
    return *name_ < *other.name_;
}

}  // namespace orvello
