// Options of a document: how it is read.
#pragma once

#include <cstddef>

namespace korvaster::xml {

struct XmlOptions {
  struct ParserSettings {
    bool shouldTrimWhitespace = true;
    // Elements nested deeper than this fail the read (0: no limit). Each level costs the
    // writer a tab on every line below it, so deep input would grow without bound.
    std::size_t maximumDepth = 0;
  };

  ParserSettings parserSettings;
};

}  // namespace korvaster::xml
