// The expat set-up every reader of this layer shares: a parser that never opens anything
// outside the bytes it is given, fed a whole buffer however large.
#pragma once

#include <expat.h>

#include <memory>
#include <string_view>
#include <type_traits>
#include <utility>

#include "xml/xml_error.h"

namespace korvaster::xml {

using ExpatParser = std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)>;

// A new parser without external entities or parameter entities; throws XmlError when expat has
// no memory for one.
ExpatParser makeExpatParser();

// Feeds all of `data` as one document, in chunks of 1 MiB, and stops
// at the first call that does not succeed; returns that call's status. Throws
// support::Interrupted before a chunk once an interrupting signal has arrived.
XML_Status parseAll(XML_Parser parser, std::string_view data);

// Throws the XmlSyntaxError that says why and where `parser` failed, or XmlError::parsingFailed
// when it gives no reason.
[[noreturn]] void throwSyntaxError(XML_Parser parser);

// Reads `document` with a Handler made from the parser and `arguments`, which hears of each
// element's start(name, attributes) and end(), may stop the parser after keeping an error()
// of its own, and gives its result from finish(). Its own error comes before the parser's.
template <typename Handler, typename... Arguments>
auto readWith(std::string_view document, Arguments&&... arguments) {
  const ExpatParser parser = makeExpatParser();
  Handler handler(parser.get(), std::forward<Arguments>(arguments)...);
  XML_SetUserData(parser.get(), &handler);
  XML_SetElementHandler(
      parser.get(),
      [](void* user, const XML_Char* name, const XML_Char** attributes) {
        static_cast<Handler*>(user)->start(name, attributes);
      },
      [](void* user, const XML_Char*) { static_cast<Handler*>(user)->end(); });
  if (parseAll(parser.get(), document) != XML_STATUS_OK) {
    if (handler.error()) throw *handler.error();
    throwSyntaxError(parser.get());
  }
  return handler.finish();
}

}  // namespace korvaster::xml
