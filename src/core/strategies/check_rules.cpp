#include "core/strategies/check_rules.h"

#include <string>

namespace korvaster {

CheckRules CheckRules::from(const Arguments& arguments) {
  CheckRules rules;
  bool missingSet = false;
  bool duplicateSet = false;
  for (const std::string& setting : lookupAll(arguments, ArgumentType::rule)) {
    const std::size_t equals = setting.find('=');
    const std::string rule = setting.substr(0, equals);
    const bool on = equals != std::string::npos && setting.compare(equals + 1, std::string::npos, "on") == 0;
    bool& set = rule == "missingIdentifier" ? missingSet : duplicateSet;
    if (set || (rule != "missingIdentifier" && rule != "duplicateIdentifier")) continue;
    set = true;
    (rule == "missingIdentifier" ? rules.missingIdentifier : rules.duplicateIdentifier) = on;
  }
  return rules;
}

}  // namespace korvaster
