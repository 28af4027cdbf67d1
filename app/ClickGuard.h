// When a field's leave check refuses the change of focus that a mouse press caused (an error
// box, and the focus back in the field), the press must not go on to act on the control that
// was clicked: the user answered a message instead of pressing that button.
#pragma once

class QWidget;

namespace orvello {

// Drops the mouse press that is being delivered to `target`, if any; later presses reach it.
void DropPendingPress(QWidget* target);

}  // namespace orvello
