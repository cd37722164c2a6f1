// The large arrays' memory as the system hands it out.
#pragma once

#include <cstddef>

namespace kit::os {

// Has the system put in place, now, every page that lies wholly inside a
// block that is zero-filled and about to be written, so that no page fault
// of the block lands in a timed window later. The block stays zero-filled.
void prefault_zeroed(void* data, std::size_t bytes) noexcept;

}  // namespace kit::os
