#include "view/command_finisher.h"

#include <QMetaObject>
#include <QObject>

#include <chrono>
#include <cstdint>
#include <utility>

using kavelo::platform::framework::CommandInput;

namespace kavelo::view {

namespace {

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

CommandFinisher::CommandFinisher(QObject* context, std::function<void()> finish)
    : m_pContext(context), m_finish(std::move(finish)) {}

void CommandFinisher::Finish(const CommandInput& input) {
    if (m_nGestureDepth > 0) {
        m_bEndPending = true;
        return;
    }
    if (input.madeMs && m_repeats.Defer(*input.madeMs, NowMs()) && m_pContext != nullptr) {
        // Posted behind the steps already queued, which add their arithmetic to this finish.
        if (!m_bFinishPending) {
            m_bFinishPending = true;
            QMetaObject::invokeMethod(
                m_pContext,
                [this] {
                    if (m_bFinishPending) {
                        FinishNow();
                    }
                },
                Qt::QueuedConnection);
        }
        return;
    }
    FinishNow();
}

void CommandFinisher::FinishNow() {
    m_bFinishPending = false;
    m_finish();
    m_repeats.Finished(NowMs());
}

void CommandFinisher::BusyUntilNow() {
    m_repeats.Finished(NowMs());
}

void CommandFinisher::EndGesture(const CommandInput& input) {
    if (--m_nGestureDepth == 0 && m_bEndPending) {
        m_bEndPending = false;
        Finish(input);
    }
}

}  // namespace kavelo::view
