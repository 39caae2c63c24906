#include "xml/expat_parser.h"

#include <climits>

namespace korvaster::xml {

namespace {
constexpr std::size_t kLargestChunk = INT_MAX / 2;
}  // namespace

ExpatParser makeExpatParser() {
  ExpatParser parser(XML_ParserCreate(nullptr), &XML_ParserFree);
  // No external entity handler is installed and parameter entities are never parsed, so a
  // document can never make the reader open another file or reach the network.
  if (parser) XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
  return parser;
}

XML_Status parseAll(XML_Parser parser, std::string_view data) {
  XML_Status status = XML_STATUS_OK;
  do {
    const std::size_t chunk = data.size() < kLargestChunk ? data.size() : kLargestChunk;
    const bool isFinal = chunk == data.size();
    status = XML_Parse(parser, data.data(), static_cast<int>(chunk), isFinal ? XML_TRUE : XML_FALSE);
    data.remove_prefix(chunk);
  } while (status == XML_STATUS_OK && !data.empty());
  return status;
}

}  // namespace korvaster::xml
