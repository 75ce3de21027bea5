// The digits-only style of an edit field: typed characters other than 0 to 9 are refused, while
// text that the program writes into the field is shown as written.
#pragma once

class QKeyEvent;
class QLineEdit;

namespace kavelo::platform::widgets {

// True for a key press that would type a printable character other than 0 to 9, whatever the
// modifiers. Editing keys, Backspace, Delete, Tab and the shortcuts held with Ctrl or Ctrl+Shift
// alone (Ctrl+C, Ctrl+V, Ctrl+A), which type nothing, pass.
bool IsRefusedByDigitsOnly(const QKeyEvent& e);

// Installs the key filter on `field`. setText() is never filtered, and neither is pasting.
void MakeDigitsOnly(QLineEdit* field);

}  // namespace kavelo::platform::widgets
