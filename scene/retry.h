// System calls that a signal may interrupt before they do anything.
#pragma once

#include <cerrno>

namespace kavelo::scene {

// Calls `call` until it is not interrupted; returns its last result.
template <class Call>
auto RetryInterrupted(Call call) {
    auto result = call();
    while (result < 0 && errno == EINTR) {
        result = call();
    }
    return result;
}

}  // namespace kavelo::scene
