#include "platform/framework/command_routing.h"

namespace kavelo::platform::framework {

bool RouteCommand(std::span<CCmdTarget* const> route, unsigned id, const CommandInput& input) {
    for (CCmdTarget* target : route) {
        if (target != nullptr && target->OnCmdMsg(id, input)) {
            return true;
        }
    }
    return false;
}

bool IsCommandEnabled(std::span<CCmdTarget* const> route, unsigned id) {
    for (const CCmdTarget* target : route) {
        if (target != nullptr && target->HasCommandHandler(id)) {
            return true;
        }
    }
    return false;
}

}  // namespace kavelo::platform::framework
