#include "xml/xml_escaping.h"

#include <array>

namespace korvaster::xml {

namespace {

// One entry per byte: 0 for a byte written as it is, else the index of its reference.
using EscapeTable = std::array<unsigned char, 256>;

constexpr std::string_view kReferences[] = {"", "&amp;", "&lt;", "&gt;", "&apos;", "&quot;", "&#10;", "&#13;", "&#9;"};

constexpr EscapeTable makeTable(bool attribute) {
  EscapeTable table{};
  table['&'] = 1;
  table['<'] = 2;
  table['>'] = 3;
  table['\''] = 4;
  table['"'] = 5;
  table['\r'] = 7;
  if (attribute) {
    table['\n'] = 6;
    table['\t'] = 8;
  }
  return table;
}

constexpr EscapeTable kTextTable = makeTable(false);
constexpr EscapeTable kAttributeTable = makeTable(true);

// Runs without a special byte are copied in one piece; a table look-up per byte keeps the
// scan cheaper than a search for any of several characters.
void appendEscaped(std::string& out, std::string_view text, const EscapeTable& table) {
  const char* run = text.data();
  const char* const end = run + text.size();
  for (const char* at = run; at != end; ++at) {
    const unsigned char entry = table[static_cast<unsigned char>(*at)];
    if (entry == 0) continue;
    out.append(run, static_cast<std::size_t>(at - run));
    out.append(kReferences[entry]);
    run = at + 1;
  }
  out.append(run, static_cast<std::size_t>(end - run));
}

}  // namespace

void appendEscapedText(std::string& out, std::string_view text) { appendEscaped(out, text, kTextTable); }

void appendEscapedAttributeValue(std::string& out, std::string_view text) {
  appendEscaped(out, text, kAttributeTable);
}

}  // namespace korvaster::xml
