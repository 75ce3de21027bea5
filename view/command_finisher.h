// How a command that changes the view ends: its repaint and panel refresh, at once, after the
// gesture it belongs to, or shared with the steps queued behind a busy view.
#pragma once

#include <QPointer>

#include <functional>

#include "navigation/repeat_merger.h"
#include "platform/framework/command_routing.h"

class QObject;

namespace kavelo::view {

class CommandFinisher {
  public:
    // `finish` repaints and refreshes the panel; `context` (the view) runs the shared finish from
    // its event queue and takes it along when it goes.
    CommandFinisher(QObject* context, std::function<void()> finish);

    // The end of a command: inside a gesture it is held back and runs once when the gesture's
    // commands are done; a step whose input waited while the view was busy shares one finish with
    // the steps queued with it; anything else finishes at once.
    void Finish(const kavelo::platform::framework::CommandInput& input = {});
    void BeginGesture() { ++m_nGestureDepth; }
    void EndGesture(const kavelo::platform::framework::CommandInput& input);
    // The view was busy until now (long work): input made before now waited.
    void BusyUntilNow();

  private:
    void FinishNow();

    QPointer<QObject> m_pContext;
    std::function<void()> m_finish;
    int m_nGestureDepth = 0;
    bool m_bEndPending = false;  // a command of the gesture has held back its ending
    kavelo::navigation::RepeatMerger m_repeats;
    bool m_bFinishPending = false;  // queued steps wait for one shared finish
};

}  // namespace kavelo::view
