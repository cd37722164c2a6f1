// The page template's renderer: named slots and blocks.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "study/page/page_template.hpp"

namespace {

using study::fill_slots;
using study::PageTemplate;

#define EXPECT_CONTAINS(text, part) EXPECT_NE((text).find(part), std::string::npos) << (text)
#define EXPECT_LACKS(text, part) EXPECT_EQ((text).find(part), std::string::npos) << (text)

TEST(PageSlots, FillEveryUseOfASlotAndLeaveValuesAsTheyAre) {
  EXPECT_EQ(fill_slots("<h1>{{name}}</h1><title>{{name}}</title>{{n}}", {{"name", "a & b"}, {"n", "1"}}),
            "<h1>a & b</h1><title>a & b</title>1");
  // A value that looks like a slot is not filled again.
  EXPECT_EQ(fill_slots("[{{a}}]", {{"a", "{{a}}"}}), "[{{a}}]");
  EXPECT_EQ(fill_slots("no slots", {}), "no slots");
  // Single braces, as in CSS, are text.
  EXPECT_EQ(fill_slots("h1{font-size:22px}{{x}}", {{"x", "."}}), "h1{font-size:22px}.");
}

TEST(PageSlots, AMismatchBetweenTemplateAndCodeIsAFault) {
  EXPECT_THROW(fill_slots("{{name}} and {{other}}", {{"name", "x"}}), std::logic_error);    // not filled
  EXPECT_THROW(fill_slots("{{name}}", {{"name", "x"}, {"extra", "y"}}), std::logic_error);  // not used
  EXPECT_THROW(fill_slots("{{name}}", {{"name", "x"}, {"name", "y"}}), std::logic_error);   // given twice
  EXPECT_THROW(fill_slots("{{Not A Name}}", {}), std::logic_error);
  EXPECT_THROW(fill_slots("{{name", {{"name", "x"}}), std::logic_error);
  try {
    fill_slots("<p>{{summary_rows}}</p>", {});
    FAIL() << "an unfilled slot was accepted";
  } catch (const std::logic_error& error) {
    EXPECT_CONTAINS(std::string(error.what()), "{{summary_rows}}");  // the message names the slot
  }
}

TEST(PageTemplateBlocks, ABlockIsTheTextBetweenItsMarkersLessTheFirstLineBreak) {
  const PageTemplate blocks(
      "notes for the reader, never written\n"
      "{{#row}}\n<tr><td>{{cell}}</td></tr>\n{{/row}}\n"
      "more notes\n"
      "{{#inline}}\n &middot; {{x}}{{/inline}}\n"
      "{{#empty}}{{/empty}}");
  EXPECT_EQ(blocks.render("row", {{"cell", "1"}}), "<tr><td>1</td></tr>\n");
  EXPECT_EQ(blocks.render("inline", {{"x", "y"}}), " &middot; y");
  EXPECT_EQ(blocks.render("empty", {}), "");
  EXPECT_THROW(blocks.render("missing", {}), std::logic_error);
  EXPECT_THROW(blocks.render("row", {}), std::logic_error);  // its slot left unfilled
}

TEST(PageTemplateBlocks, MalformedTemplatesAreFaults) {
  EXPECT_THROW(PageTemplate("{{#open}}text"), std::logic_error);
  EXPECT_THROW(PageTemplate("{{#a}}1{{/a}}{{#a}}2{{/a}}"), std::logic_error);
  EXPECT_THROW(PageTemplate("{{#Bad Name}}x{{/Bad Name}}"), std::logic_error);
  // A block inside a block is not a slot: filling the outer one fails.
  const PageTemplate nested("{{#outer}}{{#inner}}x{{/inner}}{{/outer}}");
  EXPECT_THROW(nested.render("outer", {}), std::logic_error);
}

}  // namespace
