// The ROM selector's archive contents list: listing the archive chosen through the archive
// browser, the names' encoding, the member chosen in the list, and the list's view styles.
#include "selector/OnFlyROMSelector.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>

#include "app/core/ArchiveBrowser.h"
#include "selector/SelectorNames.h"
#include "selector/SelectorParts.h"

namespace orvello {

using namespace selector_parts;

// --- Listing ------------------------------------------------------------------------------

void TOnFlyForm::ListArchive() {
    ZipList->hide();
    pending_.clear();
    listingShown_ = false;
    const ListingResult listing = archives_.List(
        {[this](const std::string& name, std::int64_t size) { MemberListed(name, size); },
         [this](std::int32_t numberOfFiles) { ListingEnded(numberOfFiles); }});
    // A walk ended by an error never reaches its totals: show what was read, and why the rest
    // is missing, rather than leave the list hidden.
    if (!listingShown_) CommitListing();
    if (!listing.listed && listing.error != 0) {
        // One plain sentence naming the file first, then the member and the library's text.
        const QString archiveName = QFileInfo(state_.SelectedFile).fileName();
        const std::string_view type = archive::ArcTypeText(archives_.ArchiveType());
        host_.Error(
            QStringLiteral("%1 is damaged or is not a%2 %3 archive.\n\n")
                .arg(archiveName,
                     type.empty() || !QStringLiteral("AEIOU").contains(QLatin1Char(type[0]))
                         ? QString()
                         : QStringLiteral("n"),
                     QString::fromUtf8(type.data(), static_cast<qsizetype>(type.size()))) +
            QFile::decodeName(QByteArray::fromStdString(StoredFileNamePart(listing.errorMember))) +
            QLatin1Char('\n') +
            QString::fromUtf8(archive::ErrorText(listing.error).data(),
                              static_cast<qsizetype>(archive::ErrorText(listing.error).size())) +
            QLatin1Char('.'));
    }
}

void TOnFlyForm::SetNamesEncoding(archive::NameEncoding encoding) {
    archives_.SetNamesEncoding(encoding);
    // The entries stand in the order of NameEncodings().
    const auto& all = archive::NameEncodings();
    for (qsizetype i = 0; i < NameEncodingItems.size(); ++i)
        NameEncodingItems[i]->setChecked(all[static_cast<std::size_t>(i)].second == encoding);
}

void TOnFlyForm::NameEncodingClick(archive::NameEncoding encoding) {
    SetNamesEncoding(encoding);
    if (!FileIsArchive) return;
    // The member chosen under the old names is chosen no more.
    archives_.ForgetMember();
    ClearZipList();
    if (!ZipList->isHidden()) ListArchive();
    PlayBt->setEnabled(IsGameNameSlot(state_.CurrentSlot) && EmulatorSet());
}

// --- Members and view styles --------------------------------------------------------------

void TOnFlyForm::MemberListed(const std::string& stored, std::int64_t unpackedSize) {
    std::string name = StoredFileNamePart(stored);
    // A folder entry ("games/") names no file that could be played.
    if (name.empty()) return;
    QString caption = QString::fromStdString(name);  // the lister gives UTF-8
    pending_.push_back({std::move(caption), std::move(name), unpackedSize});
}

void TOnFlyForm::ListingEnded(std::int32_t numberOfFiles) {
    CommitListing();
    if (numberOfFiles == 0 || Members()->Count() == 0) {
        host_.Information(QStringLiteral("No file(s) into archive"));
    }
}

void TOnFlyForm::CommitListing() {
    Members()->Fill(std::move(pending_));
    pending_.clear();
    listingShown_ = true;
    ZipList->show();
    ZipListChange();  // the items changed and none is selected
}

const ZipListModel::Member* TOnFlyForm::ChooseSelectedMember() {
    const int row = ZipList->SelectedRow();
    if (row < 0) {
        PlayBt->setEnabled(false);
        return nullptr;
    }
    EnablePlayIfEmulatorSet();
    const ZipListModel::Member& member = Members()->At(row);
    state_.RomFileName = member.caption;
    archives_.ChooseMember(member.raw);
    return &member;
}

void TOnFlyForm::ZipListClick() {
    if (ChooseSelectedMember() == nullptr) return;
    state_.mailbox.PostNotification(MainWindowId, NoteSource::ArchiveList, NoteCode::Selected);
}

void TOnFlyForm::ZipListChange() {
    const ZipListModel::Member* member = ChooseSelectedMember();
    if (member == nullptr) return;
    state_.RomBaseName = WithoutExtension(member->caption);
    state_.PreviewFile =
        WithExtension(JoinPath(state_.SelectorFolder, member->caption), QStringLiteral(".bmp"));
    state_.mailbox.PostNotification(MainWindowId, NoteSource::ArchiveList, NoteCode::Selected);
}

void TOnFlyForm::ZipListDblClick() {
    if (ChooseSelectedMember() == nullptr) return;
    state_.mailbox.PostNotification(MainWindowId, NoteSource::ArchiveList, NoteCode::Play);
    if (!ZipList->isHidden()) ZipList->setFocus(Qt::OtherFocusReason);
}

void TOnFlyForm::ReportClick() {
    ViewStyleChosen(InfoReport);
}

void TOnFlyForm::SmallIconClick() {
    ViewStyleChosen(InfoSmallIcons);
}

void TOnFlyForm::LargeIconsClick() {
    ViewStyleChosen(InfoLargeIcons);
}

void TOnFlyForm::ViewStyleChosen(int style) {
    if (style == InfoReport) ZipList->SetSmallImages(false);
    if (style == InfoSmallIcons) ZipList->SetSmallImages(true);
    ZipList->SetViewStyle(style);
    ProprietiesItem->setEnabled(style != InfoReport);
    switch (style) {
        case InfoLargeIcons:
            LargeIconsItem->setChecked(true);
            break;
        case InfoSmallIcons:
            SmallIconItem->setChecked(true);
            break;
        default:
            ReportItem->setChecked(true);
            break;
    }
}

}  // namespace orvello
