// Qt wants a private runtime directory and says so on standard error when XDG_RUNTIME_DIR does not
// name one (cron, containers, sudo).
#pragma once

namespace kavelo::platform::widgets {

// Where XDG_RUNTIME_DIR is unset or empty, sets it to a directory of this user's alone in the
// temporary folder, made when missing, kept for later runs, so that a killed run leaves nothing
// new. One that exists but is not the user's alone is not used: the toolkit then says so.
void ProvideRuntimeDirectory();

}  // namespace kavelo::platform::widgets
