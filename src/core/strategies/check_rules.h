// CheckRules: which kinds of finding `check` reports, as --rule and the configuration file's
// rules set them. A plain value, handed to whatever writes or filters the findings.
#pragma once

#include "core/options/argument.h"
#include "core/xib/identifier_scan.h"

namespace korvaster {

struct CheckRules {
  bool missingIdentifier = true;
  bool duplicateIdentifier = true;

  bool isOn(ViewFinding::Kind kind) const {
    return kind == ViewFinding::Kind::missingIdentifier ? missingIdentifier : duplicateIdentifier;
  }

  // The rules the arguments set ("duplicateIdentifier=off"): the first setting of a rule wins,
  // as the command line's come before the configuration file's; a rule not set stays on.
  static CheckRules from(const Arguments& arguments);
};

}  // namespace korvaster
