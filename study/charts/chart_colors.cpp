#include "study/charts/chart_colors.hpp"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

namespace study::svg {

std::string category_color(std::size_t index) {
  static constexpr std::array<std::string_view, 10> kColors{"#1f77b4", "#ff7f0e", "#2ca02c", "#d62728", "#9467bd",
                                                            "#8c564b", "#e377c2", "#7f7f7f", "#bcbd22", "#17becf"};
  return std::string(kColors[index % kColors.size()]);
}

std::string ordered_color(double position) {
  struct Rgb {
    double r, g, b;
  };
  static constexpr std::array<Rgb, 5> kStops{
      {{68, 1, 84}, {59, 82, 139}, {33, 145, 140}, {94, 201, 98}, {221, 200, 30}}};
  const double t = std::clamp(position, 0.0, 1.0) * (kStops.size() - 1);
  const auto index = std::min(static_cast<std::size_t>(t), kStops.size() - 2);
  const double f = t - static_cast<double>(index);
  const Rgb& a = kStops[index];
  const Rgb& b = kStops[index + 1];
  return rgb_color(a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f);
}

std::string rgb_color(double red, double green, double blue) {
  const auto channel = [](double value) { return static_cast<int>(std::lround(std::clamp(value, 0.0, 255.0))); };
  return fmt::format("#{:02x}{:02x}{:02x}", channel(red), channel(green), channel(blue));
}

}  // namespace study::svg
