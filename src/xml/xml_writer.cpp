#include "xml/xml_writer.h"

#include "support/utf8.h"
#include "xml/xml_escaping.h"

namespace korvaster::xml {

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// XML 1.0's Char production: a reference to anything else is no better than the character.
bool isXmlCharacter(std::string_view sequence) {
  const auto lead = static_cast<unsigned char>(sequence[0]);
  if (sequence.size() == 1) return lead >= 0x20 || lead == '\t' || lead == '\n' || lead == '\r';
  return sequence != "\xEF\xBF\xBE" && sequence != "\xEF\xBF\xBF";
}

}  // namespace

std::string xmlEscaped(std::string_view text, bool attribute) {
  std::string fit;
  fit.reserve(text.size());
  while (!text.empty()) {
    const std::size_t length = support::utf8SequenceLength(text);
    const std::string_view sequence = text.substr(0, length == 0 ? 1 : length);
    fit.append(length > 0 && isXmlCharacter(sequence) ? sequence : kReplacementCharacter);
    text.remove_prefix(sequence.size());
  }
  std::string escaped;
  escaped.reserve(fit.size());
  if (attribute) {
    appendEscapedAttributeValue(escaped, fit);
  } else {
    appendEscapedText(escaped, fit);
  }
  return escaped;
}

XmlWriter::XmlWriter() : text_("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") {}

void XmlWriter::endStartTag() {
  if (!inStartTag_) return;
  text_ += '>';
  inStartTag_ = false;
}

XmlWriter& XmlWriter::open(std::string_view name) {
  endStartTag();
  if (!open_.empty()) {
    open_.back().hasChildren = true;
    text_ += '\n';
  }
  text_.append(2 * open_.size(), ' ');
  text_ += '<';
  text_.append(name);
  open_.push_back({std::string(name)});
  inStartTag_ = true;
  return *this;
}

XmlWriter& XmlWriter::attribute(std::string_view name, std::string_view value) {
  text_ += ' ';
  text_.append(name);
  text_ += "=\"" + xmlEscaped(value, true) + '"';
  return *this;
}

XmlWriter& XmlWriter::text(std::string_view content) {
  endStartTag();
  text_ += xmlEscaped(content, false);
  return *this;
}

XmlWriter& XmlWriter::close() {
  const Open element = std::move(open_.back());
  open_.pop_back();
  if (inStartTag_) {
    text_ += "/>";
    inStartTag_ = false;
  } else {
    if (element.hasChildren) {
      text_ += '\n';
      text_.append(2 * open_.size(), ' ');
    }
    text_ += "</" + element.name + '>';
  }
  if (open_.empty()) text_ += '\n';
  return *this;
}

}  // namespace korvaster::xml
