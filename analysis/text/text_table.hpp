// Text laid out for a reader of a plain-text file: aligned tables and
// paragraphs wrapped at a width.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace analysis {

// The number of characters `text` shows: UTF-8 sequences count once.
std::size_t shown_width(std::string_view text);

// The table with its columns aligned, two spaces apart, the numeric ones to
// the right; one line per row after the header, each starting with `indent`.
std::string aligned_table(const std::vector<std::string>& header, const std::vector<std::vector<std::string>>& rows,
                          const std::vector<bool>& numeric, std::string_view indent = "");

// `text` broken at spaces into lines of at most `width` characters, the
// first starting with `first_indent`, the others with `indent`; a word
// longer than a line stands alone on its line, and a word that starts with
// "%" stays on the line of the word before it.
std::string wrapped(std::string_view text, std::size_t width, std::string_view first_indent = "",
                    std::string_view indent = "");

}  // namespace analysis
