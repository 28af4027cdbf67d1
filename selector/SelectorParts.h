// What the ROM selector's source files share: the window's sizes, the text of an empty
// preview, and small path and key helpers.
#pragma once

#include <QEvent>
#include <QFile>
#include <QKeyEvent>
#include <QString>

#include <string>

namespace orvello::selector_parts {

// Sizes of the window at 96 pixels per inch: the browsing part on the left and the preview
// panel beside it when shown.
inline constexpr int BrowseWidth = 560;
inline constexpr int WindowHeight = 420;
inline constexpr int PreviewPanelWidth = 300;

inline const QString NoPreviewText = QStringLiteral("No preview available");

inline QString JoinPath(const QString& folder, const QString& name) {
    if (folder.endsWith(QLatin1Char('/'))) return folder + name;
    return folder + QLatin1Char('/') + name;
}

// A path the archive library reads: the bytes the file system knows the file by.
inline std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

inline bool IsEnterKey(QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
           (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

}  // namespace orvello::selector_parts
