// The rules of `check`, stated once for every document that names them: each kind of result with
// its stable id, its descriptions, how to fix it, and its level (the README has a section per
// rule, under a heading that is the rule's id); and CheckRules, which of them a run reports.
#pragma once

#include <cstddef>

#include "core/options/argument.h"
#include "core/xib/identifier_scan.h"

namespace korvaster {

struct CheckRule {
  const char* id;
  const char* name;
  const char* shortDescription;
  const char* fullDescription;
  // How to fix it, in plain text that reads as Markdown too.
  const char* help;
  const char* level;  // "warning", "error" or "note"
};

inline constexpr CheckRule kCheckRules[] = {
    {"missingIdentifier", "MissingAccessibilityIdentifier", "A view has no accessibility identifier.",
     "A view of an Interface Builder file (an element with an id and a content mode) has no accessibility "
     "identifier, so a UI test cannot find it by a name that lasts.",
     "Run `korvaster fix --path .` to give every such view its Xcode object id as its identifier, where Xcode "
     "writes it, and commit the change; or set an identifier in Xcode's Identity inspector (Accessibility, "
     "Identifier).",
     "warning"},
    {"duplicateIdentifier", "DuplicateAccessibilityIdentifier",
     "A view uses an accessibility identifier that an earlier view of the same file already uses.",
     "Two views of one Interface Builder file have the same accessibility identifier, so a UI test that looks "
     "for it cannot tell which of them it gets.",
     "Give one of the two views an identifier of its own in Xcode's Identity inspector (Accessibility, "
     "Identifier), or clear it there and run `korvaster fix --path .`, which gives a view without one its "
     "Xcode object id. korvaster never changes an identifier a view has.",
     "warning"},
    {"unreadableFile", "UnreadableInterfaceBuilderFile", "An Interface Builder file or a folder could not be read.",
     "An Interface Builder file could not be read or is not well-formed XML, or a folder of the project could "
     "not be listed, so the views in it were not checked.",
     "Open the file in Xcode, or mend the XML at the line given (left-over merge conflict markers are a common "
     "cause); make a folder readable. Leave out files that are not yours with `--exclude`.",
     "error"},
    {"omittedResults", "ResultsLeftOut", "Results were left out of the log.",
     "The log holds at most as many results as GitHub code scanning takes from one run; this result says how "
     "many more there were.",
     "Fix the findings shown, or run `korvaster check --path .` to see every one.", "note"},
};
inline constexpr std::size_t kUnreadableRule = 2;
inline constexpr std::size_t kOmittedRule = 3;

// The rule of a finding of `kind`, as an index into kCheckRules.
inline std::size_t ruleIndexOf(ViewFinding::Kind kind) {
  return kind == ViewFinding::Kind::missingIdentifier ? 0 : 1;
}

// Which kinds of finding `check` reports, as --rule and the configuration file's rules set
// them. A plain value, handed to whatever writes or filters the findings.
struct CheckRules {
  bool missingIdentifier = true;
  bool duplicateIdentifier = true;

  bool isOn(ViewFinding::Kind kind) const {
    return kind == ViewFinding::Kind::missingIdentifier ? missingIdentifier : duplicateIdentifier;
  }
  // Whether the rule at `index` in kCheckRules can give results: unreadable files and results
  // left out are always told.
  bool reportsRule(std::size_t index) const {
    return index == ruleIndexOf(ViewFinding::Kind::missingIdentifier)     ? missingIdentifier
           : index == ruleIndexOf(ViewFinding::Kind::duplicateIdentifier) ? duplicateIdentifier
                                                                           : true;
  }

  // The rules the arguments set ("duplicateIdentifier=off"): the first setting of a rule wins,
  // as the command line's come before the configuration file's; a rule not set stays on.
  static CheckRules from(const Arguments& arguments);
};

}  // namespace korvaster
