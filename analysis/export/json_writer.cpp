#include "analysis/export/json_writer.hpp"

#include <fmt/format.h>

#include <cmath>

namespace analysis {

std::string json_quoted(std::string_view text) {
  // The characters JSON writes as a backslash and a letter, and those letters.
  constexpr std::string_view kEscaped = "\"\\\b\f\n\r\t";
  constexpr std::string_view kLetters = "\"\\bfnrt";
  std::string quoted = "\"";
  for (const char c : text) {
    if (const std::size_t escape = kEscaped.find(c); escape != std::string_view::npos) {
      quoted += '\\';
      quoted += kLetters[escape];
    } else if (static_cast<unsigned char>(c) < 0x20) {
      quoted += fmt::format("\\u{:04x}", static_cast<unsigned>(static_cast<unsigned char>(c)));
    } else {
      quoted += c;  // UTF-8 passes through unchanged
    }
  }
  return quoted + "\"";
}

void JsonWriter::before_value() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (has_members_.empty()) return;
  if (has_members_.back()) out_ += ',';
  has_members_.back() = true;
  out_ += '\n';
  out_.append(2 * has_members_.size(), ' ');
}

void JsonWriter::open(char bracket) {
  before_value();
  out_ += bracket;
  has_members_.push_back(false);
}

void JsonWriter::close(char bracket) {
  const bool had_members = has_members_.back();
  has_members_.pop_back();
  if (had_members) {
    out_ += '\n';
    out_.append(2 * has_members_.size(), ' ');
  }
  out_ += bracket;
  if (has_members_.empty()) out_ += '\n';
}

void JsonWriter::begin_object() { open('{'); }
void JsonWriter::end_object() { close('}'); }
void JsonWriter::begin_array() { open('['); }
void JsonWriter::end_array() { close(']'); }

void JsonWriter::key(std::string_view name) {
  put(json_quoted(name) + ": ");
  after_key_ = true;
}

void JsonWriter::value(std::string_view text) { put(json_quoted(text)); }
void JsonWriter::value(double number) { put(std::isfinite(number) ? fmt::format("{}", number) : "null"); }
void JsonWriter::value(std::int64_t number) { put(fmt::format("{}", number)); }
void JsonWriter::value(bool flag) { put(flag ? "true" : "false"); }

void JsonWriter::put(std::string_view text) {
  before_value();
  out_ += text;
}

}  // namespace analysis
