// What the view needs of the window it lives in: the control panel it shows its values in, and
// the route that the key table's commands take, which the mouse's commands take too. The view
// keeps both, not the window.
#pragma once

#include <span>

#include "platform/framework/command_routing.h"

namespace kavelo::platform::widgets {
class DialogBar;
}  // namespace kavelo::platform::widgets

namespace kavelo::view {

class PanelHost {
  public:
    virtual kavelo::platform::widgets::DialogBar* GetControlPanel() = 0;
    // Held by the window for its life; the view's slot is filled once the view is active.
    virtual std::span<kavelo::platform::framework::CCmdTarget* const> CommandRoute() const = 0;

  protected:
    ~PanelHost() = default;
};

}  // namespace kavelo::view
