#include "study/os/clock.hpp"

namespace study::os {

std::tm local_time(std::time_t time) {
  std::tm local{};
  localtime_r(&time, &local);
  return local;
}

}  // namespace study::os
