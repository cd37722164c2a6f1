// The caption over each table of "vystup.out", "Vysledky pre NAME:". Its
// NAME is how the precise record, the CSV exports and the tools name the
// table. Data only, so the tools read it without the sort kit.
#pragma once

#include <string_view>

namespace kit {

inline constexpr std::string_view kCaptionLead = "Vysledky pre ";
inline constexpr std::string_view kCaptionEnd = ":";

// A caption line: the lead, a name of at least one character, the end.
constexpr bool is_caption(std::string_view line) {
  return line.starts_with(kCaptionLead) && line.ends_with(kCaptionEnd) &&
         line.size() > kCaptionLead.size() + kCaptionEnd.size();
}

// A table's name from its caption: "Vysledky pre Quicksort:" is "Quicksort".
// Text that is not a caption stays as it is.
constexpr std::string_view table_name(std::string_view caption) {
  if (caption.starts_with(kCaptionLead)) caption.remove_prefix(kCaptionLead.size());
  if (caption.ends_with(kCaptionEnd)) caption.remove_suffix(kCaptionEnd.size());
  return caption;
}

}  // namespace kit
