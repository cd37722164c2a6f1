#include "analysis/export/json_writer.hpp"

#include <fmt/format.h>

#include <cmath>

namespace analysis {

std::string json_quoted(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      case '\b':
        quoted += "\\b";
        break;
      case '\f':
        quoted += "\\f";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\t':
        quoted += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          quoted += fmt::format("\\u{:04x}", static_cast<unsigned>(static_cast<unsigned char>(c)));
        } else {
          quoted += c;  // UTF-8 passes through unchanged
        }
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
  before_value();
  out_ += json_quoted(name);
  out_ += ": ";
  after_key_ = true;
}

void JsonWriter::value(std::string_view text) {
  before_value();
  out_ += json_quoted(text);
}

void JsonWriter::value(double number) {
  before_value();
  out_ += std::isfinite(number) ? fmt::format("{}", number) : "null";
}

void JsonWriter::value(std::int64_t number) {
  before_value();
  out_ += fmt::format("{}", number);
}

void JsonWriter::value(bool flag) {
  before_value();
  out_ += flag ? "true" : "false";
}

}  // namespace analysis
