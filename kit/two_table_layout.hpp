// The fixed texts of a grid program's two tables. Data only, so a parameter
// set holds its layout and the tools read it without the writer.
#pragma once

#include <string_view>

namespace kit {

// The header is a fixed line, not built from the column values; the
// separator is as long as the header. The kernels are the sorts each table
// times, as the precise record names them; the tables themselves never show
// them.
struct TwoTableLayout {
  std::string_view first_caption;
  std::string_view second_caption;
  std::string_view header;
  std::string_view separator;
  std::string_view first_kernel{};
  std::string_view second_kernel{};
};

}  // namespace kit
