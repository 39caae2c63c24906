#include "xml/xml_nesting.h"

#include "xml/expat_parser.h"

namespace korvaster::xml {

namespace {

struct DepthProbe {
  XML_Parser parser;
  std::size_t maximumDepth;
  std::size_t depth = 0;
  bool rootEnded = false;
};

void XMLCALL onStartElement(void* userData, const XML_Char*, const XML_Char**) {
  auto& probe = *static_cast<DepthProbe*>(userData);
  if (++probe.depth > probe.maximumDepth) XML_StopParser(probe.parser, XML_FALSE);
}

void XMLCALL onEndElement(void* userData, const XML_Char*) {
  auto& probe = *static_cast<DepthProbe*>(userData);
  if (--probe.depth > 0) return;
  probe.rootEnded = true;
  XML_StopParser(probe.parser, XML_FALSE);
}

}  // namespace

bool rootElementIsWithinDepth(std::string_view data, std::size_t maximumDepth) {
  const ExpatParser parser = makeExpatParser();
  DepthProbe probe{parser.get(), maximumDepth};
  XML_SetUserData(parser.get(), &probe);
  XML_SetElementHandler(parser.get(), onStartElement, onEndElement);

  // Expat calls the handlers only for input that is well formed so far, and every way out
  // of this loop other than the root element's end leaves rootEnded false.
  parseAll(parser.get(), data);
  return probe.rootEnded;
}

}  // namespace korvaster::xml
