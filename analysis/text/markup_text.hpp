// Text inside the tools' HTML pages and SVG charts: one escaper for both, so
// that a label or a line from a program's output reads the same everywhere
// and can never break the document around it.
#pragma once

#include <string>
#include <string_view>

namespace analysis {

// `text` as the character data or the quoted attribute value of an HTML or
// XML document:
// - & < > " ' become &amp; &lt; &gt; &quot; &#39;;
// - control characters are dropped: C0 controls but TAB and LF (so CR too),
//   DEL and the C1 controls U+0080 to U+009F, which no XML reader accepts
//   and no browser shows;
// - each ill-formed piece of UTF-8 (a byte that cannot start a character, a
//   sequence cut short, an overlong form, a surrogate, a code point beyond
//   U+10FFFF) becomes one U+FFFD, as many as the Unicode standard's
//   "maximal subparts" practice gives, so nothing is silently lost.
// Everything else, multi-byte characters included, passes unchanged.
std::string escape_markup(std::string_view text);

}  // namespace analysis
