// The expat set-up every reader of this layer shares: a parser that never opens anything
// outside the bytes it is given, fed a whole buffer however large.
#pragma once

#include <expat.h>

#include <memory>
#include <string_view>
#include <type_traits>

namespace korvaster::xml {

using ExpatParser = std::unique_ptr<std::remove_pointer_t<XML_Parser>, decltype(&XML_ParserFree)>;

// A new parser without external entities or parameter entities; null when expat has no memory.
ExpatParser makeExpatParser();

// Feeds all of `data` as one document, in chunks of 1 MiB, and stops
// at the first call that does not succeed; returns that call's status.
XML_Status parseAll(XML_Parser parser, std::string_view data);

// Throws the XmlSyntaxError that says why and where `parser` failed, or XmlError::parsingFailed
// when it gives no reason.
[[noreturn]] void throwSyntaxError(XML_Parser parser);

}  // namespace korvaster::xml
