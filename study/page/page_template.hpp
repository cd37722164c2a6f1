// Pages from templates with named slots. A template file holds blocks,
//
//   {{#name}}
//   markup with {{slot}}s
//   {{/name}}
//
// each one part of a page (the page itself, a table row, a section). A
// block's text runs from its opening marker (less one line break right
// after it) to its closing marker, so a block ends with a line break only
// when one stands before the closing marker. Text between blocks is for the
// reader and is never written.
//
// Filling a block is strict: a slot the block uses but is not given, or one
// given but not used, is a fault of the code and throws std::logic_error,
// so a test that renders every block catches a template and its code going
// apart. Values go in as they are: escaping text is the caller's job.
#pragma once

#include <initializer_list>
#include <map>
#include <string>
#include <string_view>

namespace study {

struct Slot {
  std::string_view name;
  std::string value;
};

// `text` with every {{name}} replaced by the value of that slot. Values are
// not scanned again, so text in them that looks like a slot stays as it is.
std::string fill_slots(std::string_view text, std::initializer_list<Slot> slots);

class PageTemplate {
 public:
  // Splits `file` into its blocks; throws std::logic_error for a block
  // left open or defined twice. `file` must outlive the template.
  explicit PageTemplate(std::string_view file);

  // The block `name` filled with `slots`; an unknown block throws std::logic_error.
  std::string render(std::string_view block, std::initializer_list<Slot> slots) const;

 private:
  std::map<std::string, std::string_view, std::less<>> blocks_;
};

}  // namespace study
