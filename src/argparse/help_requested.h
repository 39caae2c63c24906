// HelpRequested: what ArgumentParser::parse throws when it meets a help word. It carries the
// usage text of the parser that met the word. It is deliberately not a std::exception, so
// that handlers for errors let it pass; only the entry point catches it.
#pragma once

#include <string>
#include <utility>

namespace korvaster::argparse {

class HelpRequested {
 public:
  explicit HelpRequested(std::string usage) : usage_(std::move(usage)) {}

  // The complete usage text, ending in a line feed, ready to be written as it is.
  const std::string& usage() const { return usage_; }

 private:
  std::string usage_;
};

}  // namespace korvaster::argparse
