#include "xml/xml_document.h"

#include "xml/xml_tree_builder.h"
#include "xml/xml_writer.h"

namespace korvaster::xml {

XmlDocument::XmlDocument(std::string_view data, XmlOptions documentOptions)
    : XmlElement("XmlDocument"), options(documentOptions) {
  // A read that succeeds has met exactly one root element; any other input throws.
  XmlTreeBuilder builder(*this, data);
  builder.parse();
}

std::string XmlDocument::xml() const {
  std::string text = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>\n";
  XmlWriter::writeElement(*root(), 0, text);
  return text;
}

}  // namespace korvaster::xml
