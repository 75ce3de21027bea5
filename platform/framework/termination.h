// A polite end on a termination signal: the way a desktop session, or a test without a pointer
// to click the close box with, asks a program to close.
#pragma once

class QWidget;

namespace kavelo::platform::framework {

// From now on, SIGTERM closes every top-level window as the close box does, from the event loop,
// so that the program ends its run normally; so does another client that destroys a top-level
// window of the program (XDestroyWindow) for that window. Call once, with the application
// constructed. Returns false when the signal could not be caught; it then ends the program as
// before.
//
// Such a window may go at any moment, also while it is painted; a picture flushed into a window
// that is gone can crash the OpenGL driver (Mesa's software rasteriser takes the size of the
// window that is gone for one). So from then on each paint of a top-level window runs with the X
// server held for the program alone, after a check that the window is still there: a window found
// gone is closed instead of painted.
bool CloseWindowsOnTermination();

// Inside such a paint: lets the other clients in for a long stretch that does not touch the window
// (a picture drawn into the widget's own buffer); at its end the window is held and checked
// again, and a window found gone then is left unflushed and closed.
class OtherClientsLetIn {
  public:
    explicit OtherClientsLetIn(QWidget& widget);
    ~OtherClientsLetIn();
    OtherClientsLetIn(const OtherClientsLetIn&) = delete;
    OtherClientsLetIn& operator=(const OtherClientsLetIn&) = delete;
    // Whether the others are let in now: a picture is to be finished before the window is held.
    bool LetOthersIn() const { return m_bWasHeld; }

  private:
    QWidget& m_widget;
    bool m_bWasHeld;
};

}  // namespace kavelo::platform::framework
