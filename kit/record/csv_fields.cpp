#include "kit/record/csv_fields.hpp"

namespace kit::csv {
namespace {

// How a fault names what stood at `at`.
std::string described(std::string_view text, std::size_t at) {
  if (at >= text.size()) return "the end of the text";
  const char c = text[at];
  if (c == '\n') return "a line end";
  if (c == '\r') return "a CR";
  if (static_cast<unsigned char>(c) < 0x20) return "a control character";
  return std::string("\"") + c + '"';
}

}  // namespace

void append_field(std::string& line, std::string_view field) {
  if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
    line.append(field);
    return;
  }
  line += '"';
  for (const char c : field) {
    if (c == '"') line += '"';
    line += c;
  }
  line += '"';
}

SplitRow split_row(std::string_view text, std::size_t begin) {
  enum class State { kFieldStart, kUnquoted, kQuoted, kAfterQuote };
  SplitRow row;
  row.fields.emplace_back();
  State state = State::kFieldStart;
  const auto fail = [&](std::string expected, std::size_t at) {
    row.expected = std::move(expected);
    row.found = described(text, at);
    row.end = at;
    return row;
  };
  std::size_t i = begin;
  while (i < text.size()) {
    const char c = text[i];
    if (state == State::kQuoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        row.fields.back() += '"';
        i += 2;
        continue;
      }
      if (c == '"') {
        state = State::kAfterQuote;
      } else {
        if (c == '\n') ++row.inner_line_ends;
        row.fields.back() += c;
      }
      ++i;
      continue;
    }
    if (c == ',') {
      row.fields.emplace_back();
      state = State::kFieldStart;
      ++i;
      continue;
    }
    if (c == '\n') {
      row.end = i + 1;
      return row;
    }
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') {
        row.end = i + 2;
        return row;
      }
      return fail("an LF after a CR", i + 1);
    }
    if (state == State::kAfterQuote) return fail("a comma or the end of the row after a closing quote", i);
    if (c == '"') {
      if (state == State::kUnquoted) return fail("a quote only at the start of a field", i);
      state = State::kQuoted;
    } else {
      row.fields.back() += c;
      state = State::kUnquoted;
    }
    ++i;
  }
  if (state == State::kQuoted) return fail("a closing quote", text.size());
  row.end = text.size();
  return row;
}

}  // namespace kit::csv
