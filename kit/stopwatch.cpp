#include "kit/stopwatch.hpp"

#include <algorithm>
#include <charconv>
#include <cstring>

namespace kit {
namespace {

// One field of a cell: the value's decimal text, with a "0" in front when
// that text is a single character (7 -> "07", but -7 -> "-7", 123 -> "123").
void append_field(TimeCell& R, std::int32_t POMOC) {
  std::array<char, 12> S{};
  const auto end = std::to_chars(S.data(), S.data() + S.size(), POMOC).ptr;
  const auto length = static_cast<std::size_t>(end - S.data());
  if (length == 1) R.append("0");
  R.append(std::string_view(S.data(), length));
}

// Minutes, seconds and hundredths of UDAJ (C++ / and % truncate toward zero,
// so every field of a negative time keeps its own minus sign).
void append_minutes_seconds_hundredths(TimeCell& R, std::int32_t UDAJ) {
  append_field(R, UDAJ / 6000);
  R.append(":");
  UDAJ %= 6000;
  append_field(R, UDAJ / 100);
  R.append(".");
  append_field(R, UDAJ % 100);
}

}  // namespace

TimeOfDay local_time_of_day(const os::ClockReading& reading) {
  const os::LocalTime local = os::local_time(reading);
  return TimeOfDay{local.hour, local.minute,
                   // A leap second (60) is counted as the last second of its minute.
                   std::min<std::uint16_t>(local.second, 59), static_cast<std::uint16_t>(local.millisecond / 10)};
}

void TimeCell::append(std::string_view part) {
  const std::size_t taken = std::min(part.size(), kCapacity - size_);
  std::memcpy(chars_.data() + size_, part.data(), taken);
  size_ = static_cast<std::uint8_t>(size_ + taken);
}

namespace short_form {
TimeCell SPRACUJ(std::int32_t UDAJ) {
  // Whole hours stay in the minutes field; only a negative time (which the
  // stopwatch no longer produces) is still reduced below one hour first.
  if (UDAJ < 0) UDAJ %= 360000;
  TimeCell R;
  append_minutes_seconds_hundredths(R, UDAJ);
  return R;
}
}  // namespace short_form

namespace long_form {
TimeCell SPRACUJ(std::int32_t UDAJ) {
  TimeCell R;
  append_field(R, UDAJ / 360000);
  R.append(":");
  append_minutes_seconds_hundredths(R, UDAJ % 360000);
  return R;
}
}  // namespace long_form

}  // namespace kit
