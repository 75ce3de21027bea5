// Telling the user that the program cannot go on.
#pragma once

#include <QString>

namespace kavelo::platform::widgets {

// Whether a message box shown now would be seen and readable: false on platforms without a
// screen a user looks at (offscreen, minimal) and on displays of 256 colours or fewer, where the
// toolkit paints its widgets black.
bool MessageBoxesReadable();

// A critical message box captioned `caption`, closed by the user; where boxes are not readable,
// the caption and the text as one line on stderr instead.
void ShowFailureMessage(const QString& caption, const QString& text);

}  // namespace kavelo::platform::widgets
