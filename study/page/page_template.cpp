#include "study/page/page_template.hpp"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace study {
namespace {

constexpr std::string_view kOpen = "{{";
constexpr std::string_view kClose = "}}";

bool is_slot_name(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  });
}

[[noreturn]] void fault(const std::string& what) { throw std::logic_error("page template: " + what); }

}  // namespace

std::string fill_slots(std::string_view text, std::initializer_list<Slot> slots) {
  std::vector<bool> used(slots.size(), false);
  for (auto slot = slots.begin(); slot != slots.end(); ++slot) {
    if (std::find_if(slots.begin(), slot, [&](const Slot& s) { return s.name == slot->name; }) != slot) {
      fault("the slot {{" + std::string(slot->name) + "}} is given twice");
    }
  }
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const std::size_t open = text.find(kOpen);
    out.append(text.substr(0, open));
    if (open == std::string_view::npos) break;
    const std::size_t close = text.find(kClose, open + kOpen.size());
    if (close == std::string_view::npos) fault("a slot is not closed: " + std::string(text.substr(open, 40)));
    const std::string_view name = text.substr(open + kOpen.size(), close - open - kOpen.size());
    if (!is_slot_name(name)) fault("{{" + std::string(name) + "}} is not a slot name");
    const auto slot = std::find_if(slots.begin(), slots.end(), [&](const Slot& s) { return s.name == name; });
    if (slot == slots.end()) fault("the slot {{" + std::string(name) + "}} is not filled");
    used[static_cast<std::size_t>(slot - slots.begin())] = true;
    out += slot->value;
    text.remove_prefix(close + kClose.size());
  }
  for (std::size_t i = 0; i < used.size(); ++i) {
    if (!used[i]) fault("the slot {{" + std::string(slots.begin()[i].name) + "}} is filled but not used");
  }
  return out;
}

PageTemplate::PageTemplate(std::string_view file) {
  while (true) {
    const std::size_t open = file.find("{{#");
    if (open == std::string_view::npos) break;
    const std::size_t name_end = file.find(kClose, open);
    if (name_end == std::string_view::npos) fault("a block's opening marker is not closed");
    const std::string name(file.substr(open + 3, name_end - open - 3));
    if (!is_slot_name(name)) fault("{{#" + name + "}} is not a block name");
    std::size_t start = name_end + kClose.size();
    if (file.substr(start, 1) == "\n") ++start;
    const std::string end_marker = "{{/" + name + "}}";
    const std::size_t end = file.find(end_marker, start);
    if (end == std::string_view::npos) fault("the block " + name + " is not closed");
    if (!blocks_.emplace(name, file.substr(start, end - start)).second)
      fault("the block " + name + " is defined twice");
    file.remove_prefix(end + end_marker.size());
  }
}

std::string PageTemplate::render(std::string_view block, std::initializer_list<Slot> slots) const {
  const auto found = blocks_.find(block);
  if (found == blocks_.end()) fault("there is no block " + std::string(block));
  return fill_slots(found->second, slots);
}

}  // namespace study
