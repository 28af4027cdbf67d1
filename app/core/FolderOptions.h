// The options of the folder browser and the rules that keep them consistent, apart from
// any widget so they can be checked on their own.
#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

namespace orvello {

// One bit each, in this order.
enum TFolderDialogOption : unsigned {
    bfFileSysDirsOnly = 1u << 0,
    bfDontGoBelowDomain = 1u << 1,
    bfStatusText = 1u << 2,
    bfFileSysAncestors = 1u << 3,
    bfBrowseForComputer = 1u << 4,
    bfBrowseForPrinter = 1u << 5,
    bfBrowseIncludeFiles = 1u << 6,
    bfShowPathInStatusArea = 1u << 7,
    bfSyncCustomButton = 1u << 8,
    bfAlignCustomButton = 1u << 9,
    bfScreenCenter = 1u << 10,
    bfParentCenter = 1u << 11,
    bfResizeCustomButton = 1u << 12,
};
using TFolderDialogOptions = unsigned;

inline constexpr TFolderDialogOptions DefaultFolderDialogOptions =
    bfFileSysDirsOnly | bfStatusText | bfShowPathInStatusArea | bfSyncCustomButton |
    bfAlignCustomButton | bfParentCenter;

// The top of the folder tree. sfoDesktopExpanded means no explicit root: the whole tree.
enum class TRootFolder {
    sfoDesktopExpanded,
    sfoDesktop,
    sfoPrograms,
    sfoControls,
    sfoPrinters,
    sfoPersonal,
    sfoFavorites,
    sfoStartup,
    sfoRecent,
    sfoSendTo,
    sfoRecycleBin,
    sfoStartMenu,
    sfoDesktopDirectory,
    sfoMyComputer,
    sfoNetwork,
    sfoNetHood,
    sfoFonts,
    sfoTemplates,
    sfoPrintHood,
};

// The options that result from asking for `requested` while `current` are set: the path in
// the status area needs the status text (and goes when the status text is removed);
// browsing for computers or printers drops the options that contradict it (computers also
// move the root to the network); screen and parent centring exclude each other, the one
// newly asked for winning.
TFolderDialogOptions ApplyFolderOptionRules(TFolderDialogOptions current,
                                            TFolderDialogOptions requested, TRootFolder& root);

// Where the browser opens: centred on the screen (left at half, top at a third of the free
// space), or centred across the owner with its top a quarter down the owner; nothing when
// the platform places it.
std::optional<QPoint> FolderBrowserPlacement(TFolderDialogOptions options, const QRect& screen,
                                             const QRect& owner, const QSize& size);

}  // namespace orvello
