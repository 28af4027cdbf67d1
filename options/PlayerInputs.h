// The two player-input lists that the GeneCyst and NESticle dialogs share: their items, the
// "-setinput" switches they add, and the rule that keeps both players off the same keyboard
// or joystick.
#pragma once

#include <QStringList>

class QComboBox;

namespace orvello {

class SwitchBuilder;

// 0 "None", 1 "Keyboard 1", 2 "Keyboard 2", 3 "Joystick 1", 4 "Joystick 2", 5 "Gravis gamepad".
QStringList PlayerInputItems();

// " -setinput N DEVICE" for player N (1 or 2) on the list's item; nothing when the player is
// on its own keyboard (player 1 on "Keyboard 1", player 2 on "Keyboard 2") or no item is
// selected.
void AddPlayerInput(SwitchBuilder& s, int player, int index);

// When the list just changed shows the same keyboard or joystick as the other list, it moves
// to the sibling device ("Keyboard 1" and "Keyboard 2" swap, so do the joysticks). "None" and
// "Gravis gamepad" may be shared; the other list never changes.
void KeepInputsApart(QComboBox* changed, const QComboBox* other);

// Whether the list shows "Joystick 1" or "Joystick 2".
bool IsJoystick(const QComboBox* list);

}  // namespace orvello
