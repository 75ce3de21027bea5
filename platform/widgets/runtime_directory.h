// Qt wants a private runtime directory and says so on standard error when XDG_RUNTIME_DIR does not
// name one (cron, containers, sudo). Where none is set, the program makes its own for its run.
#pragma once

#include <string>

namespace kavelo::platform::widgets {

class PrivateRuntimeDirectory {
  public:
    // Sets XDG_RUNTIME_DIR to a fresh directory of this user's only when it is unset or empty.
    PrivateRuntimeDirectory();
    // Removes the directory made, with whatever the toolkit left in it.
    ~PrivateRuntimeDirectory();
    PrivateRuntimeDirectory(const PrivateRuntimeDirectory&) = delete;
    PrivateRuntimeDirectory& operator=(const PrivateRuntimeDirectory&) = delete;

  private:
    std::string m_made;
};

}  // namespace kavelo::platform::widgets
