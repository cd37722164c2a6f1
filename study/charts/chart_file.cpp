#include "study/charts/chart_file.hpp"

#include <charconv>
#include <cmath>

namespace study {

std::optional<double> numeric_label(std::string_view label) {
  double value = 0;
  const auto [end, error] = std::from_chars(label.data(), label.data() + label.size(), value);
  if (error != std::errc() || end != label.data() + label.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

}  // namespace study
