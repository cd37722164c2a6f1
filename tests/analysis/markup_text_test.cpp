// The one escaper of the tools' HTML pages and SVG charts: markup characters,
// control characters and every kind of ill-formed UTF-8.
#include "analysis/text/markup_text.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

using analysis::escape_markup;

const std::string kReplacement = "\xEF\xBF\xBD";  // U+FFFD

std::string replacements(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += kReplacement;
  return text;
}

TEST(MarkupText, EscapesTheFiveMarkupCharacters) {
  EXPECT_EQ(escape_markup("a & b < c > d \" e ' f"), "a &amp; b &lt; c &gt; d &quot; e &#39; f");
  // An entity already in the text is text, not markup: escaped again.
  EXPECT_EQ(escape_markup("&amp;"), "&amp;amp;");
  // A value cannot close its attribute or open an element.
  EXPECT_EQ(escape_markup("\" onload=\"x\"><script>"), "&quot; onload=&quot;x&quot;&gt;&lt;script&gt;");
  EXPECT_EQ(escape_markup(""), "");
  EXPECT_EQ(escape_markup("plain text, 1.25 ms; n = 100"), "plain text, 1.25 ms; n = 100");
}

TEST(MarkupText, DropsControlCharactersButKeepsTabAndLineFeed) {
  for (int code = 0; code < 0x20; ++code) {
    const std::string text = "a" + std::string(1, static_cast<char>(code)) + "b";
    const std::string expected = code == '\t' || code == '\n' ? text : "ab";
    EXPECT_EQ(escape_markup(text), expected) << "control character " << code;
  }
  EXPECT_EQ(escape_markup("line\r\nnext"), "line\nnext");
  EXPECT_EQ(escape_markup("x\x7Fy"), "xy");  // DEL
  // The C1 controls U+0080 to U+009F, well-formed but never shown.
  EXPECT_EQ(escape_markup("w\xC2\x80x\xC2\x85y\xC2\x9Fz"), "wxyz");
  // U+00A0, just past them, is a character like any other.
  EXPECT_EQ(escape_markup("x\xC2\xA0y"), "x\xC2\xA0y");
  // A NUL inside the text does not end it.
  EXPECT_EQ(escape_markup(std::string("x\0y", 3)), "xy");
}

TEST(MarkupText, ReplacesBytesThatCannotStartACharacter) {
  // Lone continuation bytes, the leads of overlong two-byte forms (C0, C1)
  // and leads beyond U+10FFFF (F5 to FF): one U+FFFD each.
  for (const char* text : {"\x80", "\xBF", "\xC0", "\xC1", "\xF5", "\xF8", "\xFE", "\xFF"}) {
    EXPECT_EQ(escape_markup(std::string("a") + text + "b"), "a" + kReplacement + "b")
        << "byte " << static_cast<int>(static_cast<unsigned char>(text[0]));
  }
  // Latin-1 text read as UTF-8: "café" with a lone E9.
  EXPECT_EQ(escape_markup("caf\xE9"), "caf" + kReplacement);
}

TEST(MarkupText, ReplacesATruncatedSequenceOnceAndResumesAfterIt) {
  // A sequence cut short by the end of the text or by a byte that does not
  // continue it is one U+FFFD; the byte after it is read afresh.
  EXPECT_EQ(escape_markup("\xC3"), kReplacement);
  EXPECT_EQ(escape_markup("\xE2\x82"), kReplacement);
  EXPECT_EQ(escape_markup("\xF0\x9F\x98"), kReplacement);
  EXPECT_EQ(escape_markup("\xE2\x82<x"), kReplacement + "&lt;x");
  EXPECT_EQ(escape_markup("\xF0\x9F\x98\xC3\xA9"), kReplacement + "\xC3\xA9");
  EXPECT_EQ(escape_markup("\xC3\xC3\xA9"), kReplacement + "\xC3\xA9");
  EXPECT_EQ(escape_markup("\xE2\x82\x0A"), kReplacement + "\n");
}

TEST(MarkupText, ReplacesOverlongSurrogateAndTooLargeForms) {
  // Overlong: "/" as C0 AF, E0 80 AF and F0 80 80 AF.
  EXPECT_EQ(escape_markup("\xC0\xAF"), replacements(2));
  EXPECT_EQ(escape_markup("\xE0\x80\xAF"), replacements(3));
  EXPECT_EQ(escape_markup("\xE0\x9F\xBF"), replacements(3));
  EXPECT_EQ(escape_markup("\xF0\x80\x80\xAF"), replacements(4));
  EXPECT_EQ(escape_markup("\xF0\x8F\xBF\xBF"), replacements(4));
  // Surrogates U+D800 and U+DFFF, and a pair of them written as two characters.
  EXPECT_EQ(escape_markup("\xED\xA0\x80"), replacements(3));
  EXPECT_EQ(escape_markup("\xED\xBF\xBF"), replacements(3));
  EXPECT_EQ(escape_markup("\xED\xA0\xBD\xED\xB8\x80"), replacements(6));
  // U+110000 and beyond.
  EXPECT_EQ(escape_markup("\xF4\x90\x80\x80"), replacements(4));
  EXPECT_EQ(escape_markup("\xF7\xBF\xBF\xBF"), replacements(4));
}

TEST(MarkupText, PassesWellFormedMultiByteTextUnchanged) {
  const std::string text = "caf\xC3\xA9 1.2 \xC2\xB5s 1.25\xC3\x97 \xF0\x9F\x98\x80 \xE2\x82\xAC";  // é µ × 😀 €
  EXPECT_EQ(escape_markup(text), text);
  // The edges of each range the checks above reject.
  for (const char* edge : {
           "\xC2\xA0",          // U+00A0, the first after the C1 controls
           "\xDF\xBF",          // U+07FF, the last of two bytes
           "\xE0\xA0\x80",      // U+0800, the first of three bytes
           "\xED\x9F\xBF",      // U+D7FF, just below the surrogates
           "\xEE\x80\x80",      // U+E000, just above them
           "\xEF\xBF\xBD",      // U+FFFD itself
           "\xEF\xBF\xBF",      // U+FFFF, the last of three bytes
           "\xF0\x90\x80\x80",  // U+10000, the first of four bytes
           "\xF4\x8F\xBF\xBF",  // U+10FFFF, the last code point
       }) {
    EXPECT_EQ(escape_markup(edge), edge);
  }
  EXPECT_EQ(escape_markup("\xC2\xB5s < 2\xC3\x97"), "\xC2\xB5s &lt; 2\xC3\x97");
}

}  // namespace
