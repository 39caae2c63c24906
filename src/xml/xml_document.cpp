#include "xml/xml_document.h"

#include "xml/xml_tree_builder.h"
#include "xml/xml_writer.h"

namespace korvaster::xml {

namespace {
constexpr const char* kDocumentName = "XmlDocument";
}

XmlDocument::XmlDocument(std::shared_ptr<XmlElement> rootElement, XmlOptions documentOptions)
    : XmlElement(kDocumentName), options(std::move(documentOptions)) {
  if (rootElement) addChild(std::move(rootElement));
}

XmlDocument::XmlDocument(std::string_view data, XmlOptions documentOptions)
    : XmlElement(kDocumentName), options(std::move(documentOptions)) {
  loadXML(data);
}

std::shared_ptr<XmlElement> XmlDocument::root() const {
  if (!children().empty()) return children().front();
  auto placeholder = std::make_shared<XmlElement>("Error");
  placeholder->error = XmlError::rootElementMissing();
  return placeholder;
}

void XmlDocument::loadXML(std::string_view data) {
  removeAllChildren();
  XmlTreeBuilder builder(*this, data);
  builder.parse();
}

std::string XmlDocument::xml() const {
  std::string text = options.documentHeader.xmlString();
  text += '\n';
  XmlWriter::writeElement(*root(), 0, text);
  return text;
}

}  // namespace korvaster::xml
