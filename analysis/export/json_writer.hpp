// A small streaming JSON writer: objects, arrays, strings, numbers and
// booleans, indented by two spaces, commas placed by the writer.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace analysis {

class JsonWriter {
 public:
  void begin_object();
  void end_object();
  void begin_array();
  void end_array();

  // The key of the next value inside an object.
  void key(std::string_view name);

  void value(std::string_view text);
  void value(const char* text) { value(std::string_view(text)); }
  void value(double number);  // shortest form that reads back exactly; null when not finite
  void value(std::int64_t number);
  void value(int number) { value(static_cast<std::int64_t>(number)); }
  void value(std::size_t number) { value(static_cast<std::int64_t>(number)); }
  void value(bool flag);

  template <typename T>
  void member(std::string_view name, const T& v) {
    key(name);
    value(v);
  }

  // The text so far, ending with a line feed once the outermost value closed.
  const std::string& text() const { return out_; }

 private:
  void before_value();
  void put(std::string_view text);  // a value's text, after what comes before it
  void open(char bracket);
  void close(char bracket);

  std::string out_;
  std::vector<bool> has_members_;  // per open container
  bool after_key_ = false;
};

// A JSON string literal of text, quotes included.
std::string json_quoted(std::string_view text);

}  // namespace analysis
