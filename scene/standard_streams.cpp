#include "scene/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace kavelo::scene {

unsigned HoldStandardStreams() noexcept {
    unsigned closed = 0;
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) {
            continue;
        }
        closed |= 1U << fd;
        // The lower ones are open by now, so this takes `fd` itself.
        const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
        if (opened > fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
    return closed;
}

}  // namespace kavelo::scene
