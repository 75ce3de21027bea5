// How long work tells how far it has come: the tessellation's reports and the pacing that turns
// them, and the reading's, into words for a status pane or a terminal.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

namespace kavelo::render {

// Told how far the tessellation has come: `done` of `total` items of `kind` ("curves" or
// "surfaces"), every few dozen items; the listener decides how often to show it.
class CompileProgress {
  public:
    virtual ~CompileProgress() = default;
    virtual void Tessellating(const char* kind, std::size_t done, std::size_t total) = 0;
    // A point in work with nothing to count yet (the estimates before the sampling): the listener
    // may let events in or ask the work to stop.
    virtual void Working() {}
    // Whether the listener has asked the work to stop at a report: the items done are kept.
    virtual bool Stopped() const { return false; }
};

// Passes "Tessellating surfaces: 3,200 of 9,384", or "Reading input.txt: 40%", to `show` once the
// work has run for `firstAfter` (half a second unless the work is known to be long), and from then
// on at most four times a second.
class PacedProgress final : public CompileProgress {
  public:
    explicit PacedProgress(std::function<void(const std::string&)> show,
                           std::chrono::milliseconds firstAfter = std::chrono::milliseconds(500));
    void Tessellating(const char* kind, std::size_t done, std::size_t total) override;
    void Working() override { Poll(); }
    // `done` of `total` bytes of the file read; false once the work is asked to stop.
    bool Reading(std::string_view fileName, std::size_t done, std::size_t total);
    // `poll` runs at every report, shown or not (a window lets its events in); once it returns
    // false, the work is asked to stop.
    void SetPoll(std::function<bool()> poll) { m_poll = std::move(poll); }
    // Runs the poll now, as a report does; false once the work is asked to stop.
    bool Poll();
    bool Stopped() const override { return m_bStopped; }
    // Whether `show` has run; inside it, whether it ran before.
    bool Shown() const { return m_bShown; }

  private:
    bool Due();

    std::function<void(const std::string&)> m_show;
    std::chrono::steady_clock::time_point m_next;  // no word before this
    std::function<bool()> m_poll;
    bool m_bShown = false;
    bool m_bStopped = false;
};

}  // namespace kavelo::render
