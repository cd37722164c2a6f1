#include "analysis/text/markup_text.hpp"

#include <array>

namespace analysis {
namespace {

constexpr std::string_view kReplacement = "\xef\xbf\xbd";  // U+FFFD

// The characters of markup, and the entities that stand for them.
constexpr std::string_view kMarkup = "&<>\"'";
constexpr std::array<std::string_view, 5> kEntities{"&amp;", "&lt;", "&gt;", "&quot;", "&#39;"};

struct Character {
  char32_t code = 0;
  std::size_t length = 0;  // bytes taken from the text, at least 1
  bool valid = false;
};

// The character at the start of non-ASCII `text`. When the bytes there are not
// well-formed UTF-8, `length` spans the longest start of a well-formed
// sequence (at least the first byte), which is replaced as one.
Character decode(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  char32_t code = 0;
  // The second byte's range excludes overlongs (E0, F0), surrogates (ED)
  // and code points above U+10FFFF (F4); the later bytes are any continuation.
  unsigned char lowest_second = 0x80, highest_second = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
    if (lead == 0xE0) lowest_second = 0xA0;
    if (lead == 0xED) highest_second = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
    if (lead == 0xF0) lowest_second = 0x90;
    if (lead == 0xF4) highest_second = 0x8F;
  } else {
    return {0, 1, false};  // a continuation byte, C0, C1 or F5 to FF
  }
  for (std::size_t i = 1; i < length; ++i) {
    const unsigned char lowest = i == 1 ? lowest_second : 0x80;
    const unsigned char highest = i == 1 ? highest_second : 0xBF;
    if (i >= text.size() || byte(i) < lowest || byte(i) > highest) return {0, i, false};
    code = (code << 6) | (byte(i) & 0x3F);
  }
  return {code, length, true};
}

}  // namespace

std::string escape_markup(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  while (!text.empty()) {
    const char c = text.front();
    const auto code = static_cast<unsigned char>(c);
    std::size_t taken = 1;
    if (code >= 0x80) {
      const Character character = decode(text);
      taken = character.length;
      if (!character.valid) {
        result += kReplacement;
      } else if (character.code > 0x9F) {  // U+0080 to U+009F are the C1 controls
        result.append(text.substr(0, taken));
      }
    } else if (const std::size_t markup = kMarkup.find(c); markup != std::string_view::npos) {
      result += kEntities[markup];
    } else if ((code >= 0x20 && code != 0x7F) || c == '\t' || c == '\n') {
      result += c;
    }
    text.remove_prefix(taken);
  }
  return result;
}

}  // namespace analysis
