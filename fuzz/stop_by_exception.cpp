// Stand-ins for the failure rule's entry points that the reader uses.
#include "fuzz/stop_by_exception.hpp"

#include "kit/runtime_error.hpp"

namespace kit {

void stop_with_runtime_error(int error_number, const CallSite&) { throw fuzz::RuntimeErrorStop{error_number}; }

}  // namespace kit
