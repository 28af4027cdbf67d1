#include "app/core/GlobalVar.h"

#include <algorithm>

namespace orvello {

const std::array<SlotInfo, SlotCount> Slots = {{
    {"Magic Engine", "MagicEngine", "*.pce;*.grf;*.rom;*.0?0", LaunchForm::File, "TPCE_OptForm"},
    {"GenEm", "GenEm", "*.smd;*.md;*.bin;*.mgd", LaunchForm::File, "TGEN_OptForm"},
    {"GeneCyst", "GeneCyst", "*.smd;*.bin", LaunchForm::File, "TGENC_OptForm"},
    {"KGen", "KGen", "*.smd;*.md;*.bin;*.mgd", LaunchForm::File, "TKGEN_OptForm"},
    {"Virtual GameBoy", "VirtualGB", "*.gb", LaunchForm::File, "TGB_OptForm"},
    {"NESticle", "NESticle", "*.nes", LaunchForm::File, "TNES_OptForm"},
    {"SNES9x", "S9x", "*.smc;*.fig;*.sfc;*.?", LaunchForm::File, "TS9x_OptForm"},
    {"NLKSNES", "NLKSNES", "*.smc;*.sfc", LaunchForm::File, "TNLKSNES_OptForm"},
    {"Massage", "Massage", "*.sms;*.gg", LaunchForm::File, "TSMS_OptForm"},
    {"M.A.M.E.", "MAME", "", LaunchForm::GameName, "TMAME_OptForm"},
    {"Callus", "Callus", "", LaunchForm::GameName, "TCALLUS_OptForm"},
    {"ZSNES", "ZSNES", "*.smc;*.fig;*.sfc;*.?", LaunchForm::File, "TZSNES_OptForm"},
}};

QString AppState::RomMask(EmulatorSlot slot) {
    return QString::fromLatin1(Slots.at(slot).romMask);
}

void Mailbox::ClearMailbox() {
    for (auto& e : entries_)
        e.Free = true;
}

void Mailbox::PostNotification(std::int32_t recipient, NoteSource source, NoteCode code) {
    for (auto& e : entries_) {
        if (e.Free) {
            e.Source = source;
            e.Recipient = recipient;
            e.Code = code;
            e.Free = false;
            return;
        }
    }
}

std::optional<MailboxEntry> Mailbox::TakeNotification(std::int32_t recipient) {
    for (auto& e : entries_) {
        if (!e.Free && e.Recipient == recipient) {
            MailboxEntry taken = e;
            e.Free = true;
            return taken;
        }
    }
    return std::nullopt;
}

QString ReverseText(const QString& text) {
    QString reversed = text;
    std::reverse(reversed.begin(), reversed.end());
    return reversed;
}

QString FormatThousands(std::int64_t n) {
    // The magnitude as unsigned, so the most negative value has one too.
    const std::uint64_t magnitude =
        n < 0 ? std::uint64_t{0} - static_cast<std::uint64_t>(n) : static_cast<std::uint64_t>(n);
    const QString digits = QString::number(magnitude);
    QString grouped;
    int copied = 0;
    for (auto it = digits.crbegin(); it != digits.crend(); ++it) {
        grouped += *it;
        if (++copied % 3 == 0) grouped += QLatin1Char('.');
    }
    if (grouped.endsWith(QLatin1Char('.'))) grouped.chop(1);
    if (n < 0) grouped += QLatin1Char('-');
    return ReverseText(grouped);
}

}  // namespace orvello
