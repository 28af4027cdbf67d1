#include "options/PlayerInputs.h"

#include <QComboBox>

#include <array>

#include "options/OptionDialog.h"

namespace orvello {

namespace {

enum Input { None, Keyboard1, Keyboard2, Joystick1, Joystick2, Gravis };

constexpr std::array<const char*, 6> Devices = {"NONE", "KEY1", "KEY2", "JOY1", "JOY2", "GRAVIS"};

}  // namespace

QStringList PlayerInputItems() {
    return {QStringLiteral("None"),       QStringLiteral("Keyboard 1"),
            QStringLiteral("Keyboard 2"), QStringLiteral("Joystick 1"),
            QStringLiteral("Joystick 2"), QStringLiteral("Gravis gamepad")};
}

void AddPlayerInput(SwitchBuilder& s, int player, int index) {
    const int own = player == 1 ? Keyboard1 : Keyboard2;
    if (index < 0 || index >= static_cast<int>(Devices.size()) || index == own) return;
    s.Add(QStringLiteral(" -setinput %1 %2").arg(player).arg(QLatin1String(Devices.at(index))));
}

void KeepInputsApart(QComboBox* changed, const QComboBox* other) {
    if (changed->currentIndex() != other->currentIndex()) return;
    switch (changed->currentIndex()) {
        case Keyboard1:
            changed->setCurrentIndex(Keyboard2);
            break;
        case Keyboard2:
            changed->setCurrentIndex(Keyboard1);
            break;
        case Joystick1:
            changed->setCurrentIndex(Joystick2);
            break;
        case Joystick2:
            changed->setCurrentIndex(Joystick1);
            break;
        default:
            break;
    }
}

bool IsJoystick(const QComboBox* list) {
    return list->currentIndex() == Joystick1 || list->currentIndex() == Joystick2;
}

}  // namespace orvello
