#pragma once
// Watches every operator new of the test program (the host library's too), so a
// test can tell that damaged data never made anything allocate what they claimed.

#include <cstddef>

namespace folivox::test {

void ResetLargestAllocation();
/** The largest single request made through operator new since the last reset. */
std::size_t LargestAllocation();

} // namespace folivox::test
