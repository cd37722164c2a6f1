#include "study/os/clock.hpp"

#include <array>

namespace study::os {

std::tm local_time(std::time_t time) {
  std::tm local{};
  localtime_r(&time, &local);
  return local;
}

std::string utc_offset(std::time_t time) {
  const std::tm local = local_time(time);
  std::array<char, 16> text{};
  std::strftime(text.data(), text.size(), "%z", &local);
  return text.data();
}

}  // namespace study::os
