// What the text of an Interface Builder file says about how it writes its tags: its line end,
// its indentation unit, its escapes, and where a start tag's attributes lie, so that what is
// inserted into it is written the way the rest of it is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvaster {

// How the file writes what is inserted into it.
struct FileConventions {
  std::string lineEnd;
  std::string indentUnit;
  bool escapesGreaterThan = false;
};

// Read off the document: its first line's end (LF, CR LF or CR alone), its first indented
// line's indentation (one level deep: the root element's first child), and whether it
// escapes ">".
FileConventions conventionsOf(std::string_view document);

bool isBlank(std::string_view text);

// Where the lines of offsets asked about in increasing order start, found in one pass over
// the document however long its lines are.
class LineStarts {
 public:
  // Lines end with `lineEnd`: '\n' (after a carriage return or not) or '\r' alone.
  LineStarts(std::string_view document, char lineEnd) : document_(document), lineEnd_(lineEnd) {}
  // The start of the line `offset` lies on; `offset` is no less than any asked about before.
  std::size_t of(std::size_t offset);

 private:
  std::string_view document_;
  char lineEnd_;
  std::size_t scanned_ = 0;
  std::size_t lineStart_ = 0;
};

// How many characters beyond U+FFFF (four UTF-8 bytes, two UTF-16 code units) precede offsets
// asked about in increasing order on their lines, found in one pass over the document, so that
// a file of one long line costs no more than any other.
class AstralsOnLine {
 public:
  explicit AstralsOnLine(std::string_view document) : document_(document) {}
  // Those before `offset` on its line; `offset` is no less than any asked about before.
  unsigned long before(std::size_t offset);

 private:
  std::string_view document_;
  std::size_t read_ = 0;
  unsigned long count_ = 0;
};

// Where one attribute of a start tag lies in it, quotes included.
struct AttributeSpan {
  std::string_view name;
  std::size_t start = 0;
  std::size_t end = 0;
  char quote = '"';
};

// The attributes of a start tag the parser has already taken as well-formed: names and quoted
// values, with only white space between them, so that their bounds are found by the quotes.
std::vector<AttributeSpan> attributesOf(std::string_view tag);

}  // namespace korvaster
