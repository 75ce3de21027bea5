// Descriptors 0, 1 and 2 as a program finds them at start.
#pragma once

namespace kavelo::scene {

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed: the next file or connection
// opened would otherwise take its number, and whatever is meant for standard error (or output)
// would be written into it. Called first thing in main. Returns the closed ones, bit N for
// descriptor N.
unsigned HoldStandardStreams() noexcept;

}  // namespace kavelo::scene
