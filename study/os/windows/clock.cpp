#include "study/os/clock.hpp"

namespace study::os {

std::tm local_time(std::time_t time) {
  std::tm local{};
  localtime_s(&local, &time);
  return local;
}

}  // namespace study::os
