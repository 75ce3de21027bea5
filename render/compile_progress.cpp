#include "render/compile_progress.h"

#include <utility>

#include "scene/warning_list.h"

using kavelo::scene::GroupedNumber;

namespace kavelo::render {

PacedProgress::PacedProgress(std::function<void(const std::string&)> show,
                             std::chrono::milliseconds firstAfter)
    : m_show(std::move(show)), m_next(std::chrono::steady_clock::now() + firstAfter) {}

bool PacedProgress::Due() {
    const auto now = std::chrono::steady_clock::now();
    if (now < m_next) {
        return false;
    }
    m_next = now + std::chrono::milliseconds(250);
    return true;
}

bool PacedProgress::Poll() {
    if (m_poll && !m_bStopped && !m_poll()) {
        m_bStopped = true;
    }
    return !m_bStopped;
}

bool PacedProgress::Reading(std::string_view fileName, std::size_t done, std::size_t total) {
    Poll();
    if (!Due()) {
        return !m_bStopped;
    }
    const std::size_t percent = total == 0 ? 100 : done * 100 / total;
    m_show("Reading " + std::string(fileName) + ": " + std::to_string(percent) + "%");
    m_bShown = true;
    return !m_bStopped;
}

void PacedProgress::Tessellating(const char* kind, std::size_t done, std::size_t total) {
    Poll();
    if (!Due()) {
        return;
    }
    m_show(std::string("Tessellating ") + kind + ": " + GroupedNumber(done) + " of " +
           GroupedNumber(total));
    m_bShown = true;
}

}  // namespace kavelo::render
