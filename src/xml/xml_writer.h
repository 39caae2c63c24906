// XmlWriter: builds one XML document, two-space indented, for the reports the tool writes. The
// caller opens and closes elements in order and gives attributes right after an element is
// opened; the writer escapes every text and closes tags. The caller may take the text in
// pieces as it goes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvaster::xml {

// `text` made fit for an XML 1.0 document and escaped as an attribute value (`attribute`) or
// as character data: bytes that are not UTF-8 (a path may hold any) and characters XML cannot
// carry even as references (control characters but tab, line feed and carriage return;
// U+FFFE, U+FFFF) become U+FFFD; "&", "<", ">", quotes and the white space a reader would
// normalise become references.
std::string xmlEscaped(std::string_view text, bool attribute);

class XmlWriter {
 public:
  // Starts the document with its XML declaration (UTF-8).
  XmlWriter();

  // Opens an element inside the open one; its attributes may follow.
  XmlWriter& open(std::string_view name);
  // An attribute of the element just opened, before any content of it.
  XmlWriter& attribute(std::string_view name, std::string_view value);
  XmlWriter& attribute(std::string_view name, std::size_t number) {
    return attribute(name, std::to_string(number));
  }
  // Character data of the open element, written on the element's own line.
  XmlWriter& text(std::string_view content);
  // Closes the innermost open element ("/>" when it has no content).
  XmlWriter& close();

  // The document so far, ending with a line break once the outermost element is closed.
  const std::string& document() const { return text_; }
  // The text so far, handed over and forgotten: a document written in pieces this way is the
  // same as one written whole.
  std::string takeText() { return std::exchange(text_, {}); }

 private:
  // Ends the start tag of the innermost element, if it is still open, before its content.
  void endStartTag();

  struct Open {
    std::string name;
    bool hasChildren = false;
  };
  std::string text_;
  std::vector<Open> open_;
  bool inStartTag_ = false;
};

}  // namespace korvaster::xml
