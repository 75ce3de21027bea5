// A polite end on a termination signal: the way a desktop session, or a test without a pointer
// to click the close box with, asks a program to close.
#pragma once

namespace kavelo::platform::framework {

// From now on, SIGTERM closes every top-level window as the close box does, from the event loop,
// so that the program ends its run normally; so does another client that destroys a top-level
// window of the program (XDestroyWindow) for that window. Call once, with the application
// constructed. Returns false when the signal could not be caught; it then ends the program as
// before.
bool CloseWindowsOnTermination();

}  // namespace kavelo::platform::framework
