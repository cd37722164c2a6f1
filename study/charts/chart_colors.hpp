// The colours of the charts' series.
#pragma once

#include <cstddef>
#include <string>

namespace study::svg {

// Colours that stay apart for up to 10 series.
std::string category_color(std::size_t index);

// A colour running from dark purple (0) through green to yellow (1), for
// series in a natural order such as ascending lengths.
std::string ordered_color(double position);

// "#rrggbb" of channels 0..255 (rounded and clamped).
std::string rgb_color(double red, double green, double blue);

}  // namespace study::svg
