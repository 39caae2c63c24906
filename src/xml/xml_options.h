// Options of a document: the declaration it is written with and how it is read.
#pragma once

#include <cstddef>
#include <string>

namespace korvaster::xml {

struct XmlOptions {
  struct DocumentHeader {
    double version = 1.0;
    std::string encoding = "utf-8";
    std::string standalone = "no";

    // <?xml version="1.0" encoding="utf-8" standalone="no"?>, without a line feed.
    std::string xmlString() const;
  };

  struct ParserSettings {
    bool shouldTrimWhitespace = true;
    // Elements nested deeper than this fail the read (0: no limit). Each level costs the
    // writer a tab on every line below it, so deep input would grow without bound.
    std::size_t maximumDepth = 0;
  };

  DocumentHeader documentHeader;
  ParserSettings parserSettings;
};

}  // namespace korvaster::xml
