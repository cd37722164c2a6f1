// In the fuzz target a runtime error throws this instead of ending the
// process, so one process can try many inputs and compare how each ended.
#pragma once

namespace fuzz {

struct RuntimeErrorStop {
  int number;
};

}  // namespace fuzz
