// Long work on the program's one thread that keeps its window alive: the window system is let in
// at the work's progress points, while the user's input waits for the work to end.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <chrono>
#include <deque>
#include <functional>
#include <memory>

class QEvent;

namespace kavelo::platform::framework {

// From construction to destruction, input made inside the program (keys, clicks, pointer moves,
// wheel turns) is held, and replayed in the order made from the event loop once the work has
// ended; Esc is not held but asks the work to stop. Yield, called at each progress point, lets
// the window system in once the work has run `PaceFirst()` and from then on every `PaceEvery()`:
// windows repaint, the window manager's ping is answered, a close request is taken. Works nest:
// the input of all of them waits for the outermost.
class LongWork : public QObject {
    Q_OBJECT
  public:
    // `window` is the window the work belongs to: closing or losing it ends the work.
    explicit LongWork(QWidget* window);
    ~LongWork() override;
    LongWork(const LongWork&) = delete;
    LongWork& operator=(const LongWork&) = delete;

    // True when it let the window system in (the caller's GL context may no longer be current).
    bool Yield();
    // Lets the window system in now, whatever the pace: at the end of the work, a close that came
    // during a stretch without progress points is seen before anything is drawn.
    void LetIn();
    // Whether the work should end now: Esc was pressed, or the window closed.
    bool StopAsked() const { return m_bStopAsked || WindowClosed(); }
    // The window was closed or destroyed: the program ends, nothing more is to be done or shown.
    bool WindowClosed() const;
    // Whether any long work is under way.
    static bool Running() { return s_nDepth > 0; }
    // Runs `later` once every work has ended, in turn with the input held meanwhile.
    static void Hold(std::function<void()> later);

    // Half a second and 50 ms; tests make them shorter.
    static void SetPace(std::chrono::milliseconds first, std::chrono::milliseconds every);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    static void ReplayHeld();

    QPointer<QWidget> m_pWindow;
    std::chrono::steady_clock::time_point m_nextYield;
    bool m_bStopAsked = false;
    bool m_bWindowShown = false;

    static int s_nDepth;
    static bool s_bReplayPosted;
    static std::deque<std::function<void()>> s_held;
};

}  // namespace kavelo::platform::framework
