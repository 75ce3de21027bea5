// Qt and Mesa write notices of their own on standard error where nobody asked for them: Qt when
// XDG_RUNTIME_DIR does not name a private runtime directory (cron, containers, sudo), Mesa's
// libEGL its driver warnings. Real failures still reach the user through the program's messages.
#pragma once

namespace kavelo::platform::widgets {

// Call before the toolkit or GL starts. Where XDG_RUNTIME_DIR is unset or empty, sets it to a
// directory of this user's alone in the temporary folder, made when missing and kept for later
// runs (one that exists but is not the user's alone is not used, and the toolkit says so). Where
// EGL_LOG_LEVEL is unset, libEGL tells only fatal errors.
void QuietenToolkit();

}  // namespace kavelo::platform::widgets
