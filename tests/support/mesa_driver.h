// Mesa's software driver, which the sanitizer runs keep loaded until exit: unloaded with the last
// GL context, the memory it keeps could no longer be told from the program's own.
#pragma once

namespace kavelo::test {

inline constexpr char kMesaDriver[] = "/usr/lib/x86_64-linux-gnu/dri/swrast_dri.so";

}  // namespace kavelo::test
