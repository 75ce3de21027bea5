// What the view needs of the window it lives in: the control panel it shows its values in, and
// the route that the key table's commands take, which the mouse's commands take too.
#pragma once

#include "platform/framework/command_routing.h"

namespace kavelo::platform::widgets {
class DialogBar;
}  // namespace kavelo::platform::widgets

namespace kavelo::view {

class PanelHost {
  public:
    virtual kavelo::platform::widgets::DialogBar* GetControlPanel() = 0;
    virtual bool RouteCommand(unsigned id,
                              const kavelo::platform::framework::CommandInput& input) = 0;

  protected:
    ~PanelHost() = default;
};

}  // namespace kavelo::view
