// JsonWriter: builds one JSON document, two-space indented, for the reports the tool writes.
// The caller opens and closes containers in order; the writer places commas and quotes. The
// caller may take the text in pieces as it goes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvaster::support {

// `text` as a JSON string literal with its quotes. Quotes, backslashes and control characters
// are escaped; bytes that are not UTF-8 (a path may hold any) become U+FFFD, so that the
// document stays valid.
std::string jsonQuoted(std::string_view text);

class JsonWriter {
 public:
  JsonWriter& beginObject() { return open('{'); }
  JsonWriter& endObject() { return close('}'); }
  JsonWriter& beginArray() { return open('['); }
  JsonWriter& endArray() { return close(']'); }
  // The name of the next member of the open object.
  JsonWriter& key(std::string_view name);

  JsonWriter& value(std::string_view text);
  JsonWriter& value(const char* text) { return value(std::string_view(text)); }
  JsonWriter& value(std::int64_t number);
  JsonWriter& value(std::size_t number) { return value(static_cast<std::int64_t>(number)); }
  JsonWriter& value(int number) { return value(static_cast<std::int64_t>(number)); }
  // Written with three decimals, e.g. seconds with their milliseconds.
  JsonWriter& value(double number);
  JsonWriter& value(bool flag);
  JsonWriter& null();

  // The document so far, ending with a line break once the outermost container is closed.
  const std::string& text() const { return text_; }
  // The text so far, handed over and forgotten: a document written in pieces this way is
  // the same as one written whole, and the writer never holds more than one piece.
  std::string takeText() { return std::exchange(text_, {}); }

 private:
  JsonWriter& open(char bracket);
  JsonWriter& close(char bracket);
  // Starts a value: after a key it follows on the same line, in an array it gets its own.
  void beginValue();
  void newLine();

  std::string text_;
  // For each open container, whether it has a member yet.
  std::vector<bool> hasMembers_;
  bool afterKey_ = false;
};

}  // namespace korvaster::support
