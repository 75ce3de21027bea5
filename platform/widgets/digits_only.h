// The digits-only style of an edit field: typed characters other than 0 to 9 are refused, while
// text that the program writes into the field is shown as written.
#pragma once

class QKeyEvent;
class QLineEdit;

namespace kavelo::platform::widgets {

// True for a key press that would type a printable character other than 0 to 9. Editing keys,
// Backspace, Delete, Tab and shortcuts held with Ctrl or Meta (Ctrl+C, Ctrl+V, Ctrl+A) pass.
bool IsRefusedByDigitsOnly(const QKeyEvent& e);

// Installs the key filter on `field`. setText() is never filtered, and neither is pasting.
void MakeDigitsOnly(QLineEdit* field);

}  // namespace kavelo::platform::widgets
