#include "app/core/FolderOptions.h"

namespace orvello {

TFolderDialogOptions ApplyFolderOptionRules(TFolderDialogOptions current,
                                            TFolderDialogOptions requested, TRootFolder& root) {
    TFolderDialogOptions result = requested;
    const TFolderDialogOptions added = requested & ~current;
    const TFolderDialogOptions removed = current & ~requested;

    if ((removed & bfStatusText) && !(added & bfShowPathInStatusArea)) {
        result &= ~bfShowPathInStatusArea;
    }
    if (result & bfShowPathInStatusArea) result |= bfStatusText;

    if (added & bfBrowseForComputer) {
        root = TRootFolder::sfoNetwork;
        result &= ~(bfFileSysDirsOnly | bfFileSysAncestors | bfBrowseForPrinter);
    }
    if (added & bfBrowseForPrinter) {
        result &=
            ~(bfFileSysDirsOnly | bfDontGoBelowDomain | bfFileSysAncestors | bfBrowseForComputer);
    }

    if (added & bfScreenCenter) {
        result &= ~bfParentCenter;
    } else if (added & bfParentCenter) {
        result &= ~bfScreenCenter;
    }
    return result;
}

std::optional<QPoint> FolderBrowserPlacement(TFolderDialogOptions options, const QRect& screen,
                                             const QRect& owner, const QSize& size) {
    if (options & bfScreenCenter) {
        return QPoint(screen.x() + (screen.width() - size.width()) / 2,
                      screen.y() + (screen.height() - size.height()) / 3);
    }
    if ((options & bfParentCenter) && owner.isValid()) {
        return QPoint(owner.x() + (owner.width() - size.width()) / 2,
                      owner.y() + owner.height() / 4);
    }
    return std::nullopt;
}

}  // namespace orvello
