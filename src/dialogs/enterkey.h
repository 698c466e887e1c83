#pragma once

class QDialog;
class QKeyEvent;

namespace vela {

// Enter in a dialog without a default button: on a focused push button it presses that
// button, anywhere else it closes the dialog as OK. True when `event` was Enter (with no
// modifier but the keypad's) and has been handled; the caller passes anything else on.
bool HandleEnterKey(QDialog& dialog, QKeyEvent* event);

}  // namespace vela
