#include "xml/expat_parser.h"

#include <string>

#include "support/interruption.h"
#include "xml/xml_error.h"

namespace korvaster::xml {

namespace {
// Expat copies what it is given into a buffer of its own: fed in chunks, it never holds a
// second copy of a large document. Smaller chunks cost more: a token cut by a chunk's end is
// scanned again from its start.
constexpr std::size_t kLargestChunk = std::size_t{1} << 20;

std::string messageFor(XML_Error code) {
  if (code == XML_ERROR_UNKNOWN_ENCODING || code == XML_ERROR_INCORRECT_ENCODING) {
    return std::string(XML_ErrorString(code)) + " (UTF-8, UTF-16, ISO-8859-1 and US-ASCII can be read)";
  }
  const XML_LChar* text = XML_ErrorString(code);
  return text != nullptr ? text : "unknown error";
}
}  // namespace

ExpatParser makeExpatParser() {
  ExpatParser parser(XML_ParserCreate(nullptr), &XML_ParserFree);
  // No external entity handler is installed and parameter entities are never parsed, so a
  // document can never make the reader open another file or reach the network.
  if (!parser) throw XmlError::parsingFailed();  // no memory for it
  XML_SetParamEntityParsing(parser.get(), XML_PARAM_ENTITY_PARSING_NEVER);
  return parser;
}

XML_Status parseAll(XML_Parser parser, std::string_view data) {
  XML_Status status = XML_STATUS_OK;
  do {
    // A signal ends the work on a file of any size within a chunk's parse.
    support::throwIfInterrupted();
    const std::size_t chunk = data.size() < kLargestChunk ? data.size() : kLargestChunk;
    const bool isFinal = chunk == data.size();
    status = XML_Parse(parser, data.data(), static_cast<int>(chunk), isFinal ? XML_TRUE : XML_FALSE);
    data.remove_prefix(chunk);
  } while (status == XML_STATUS_OK && !data.empty());
  return status;
}

void throwSyntaxError(XML_Parser parser) {
  const XML_Error code = XML_GetErrorCode(parser);
  if (code == XML_ERROR_NONE) throw XmlError::parsingFailed();
  throw XmlSyntaxError(static_cast<int>(code), messageFor(code), XML_GetCurrentLineNumber(parser),
                       XML_GetCurrentColumnNumber(parser) + 1);
}

}  // namespace korvaster::xml
