#pragma once

#include <layra/IPMStream.h>

#include <vector>

namespace layra {
/** What a memory stream written so far holds, moved out of it; empty for other streams. */
std::vector<unsigned char> TakeMemoryStreamBytes(IPMStream* stream);
} // namespace layra
