#include "xml/xml_nesting.h"

#include <expat.h>

#include <climits>
#include <memory>
#include <type_traits>

namespace korvaster::xml {

namespace {

constexpr std::size_t kLargestChunk = INT_MAX / 2;

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
  std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)> parser(
      XML_ParserCreate(nullptr), &XML_ParserFree);
  if (!parser) return false;
  // As in the tree builder: nothing outside `data` is ever opened.
  XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
  DepthProbe probe{parser.get(), maximumDepth};
  XML_SetUserData(parser.get(), &probe);
  XML_SetElementHandler(parser.get(), onStartElement, onEndElement);

  // Expat calls the handlers only for input that is well formed so far, and every way out
  // of this loop other than the root element's end leaves rootEnded false.
  XML_Status status = XML_STATUS_OK;
  do {
    const std::size_t chunk = data.size() < kLargestChunk ? data.size() : kLargestChunk;
    const bool isFinal = chunk == data.size();
    status = XML_Parse(parser.get(), data.data(), static_cast<int>(chunk), isFinal ? XML_TRUE : XML_FALSE);
    data.remove_prefix(chunk);
  } while (status == XML_STATUS_OK && !data.empty());
  return probe.rootEnded;
}

}  // namespace korvaster::xml
