// The tool's version and the line --version prints.
#pragma once

#include <cstdint>
#include <string>

namespace korvaster {

struct Versioning {
  std::int64_t major;
  std::int64_t minor;
  std::int64_t patch;

  // "korvaster — MAJOR.MINOR.PATCH", with an em dash between two spaces.
  std::string completeDisplayString() const;

  static const Versioning currentVerssion;
};

}  // namespace korvaster
