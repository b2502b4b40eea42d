#pragma once

#include <cstdint>

/** The ready flag of one page of the front document, by its index in the page list. */
struct PageStatusEntry {
  std::int32_t pageIndex = 0;
  bool ready = false;
};
