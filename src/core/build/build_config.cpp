#include "core/build/build_config.h"

#include <plist/plist.h>

#include <cstdlib>
#include <limits>
#include <memory>
#include <string_view>

#include "core/build/binary_property_list_bounds.h"
#include "core/errors/korvast_error.h"
#include "xml/xml_nesting.h"

namespace korvaster {

namespace {

struct PlistDeleter {
  void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPointer = std::unique_ptr<void, PlistDeleter>;

// libplist 2.2 recurses once per level when it reads a binary list and when it frees any
// list. On the 8 MiB main-thread stack it overflowed at about 87,300 levels reading a binary
// list and 174,500 freeing an XML one, in the release and the sanitizer builds alike. Within
// maximumSize a binary list with 3-byte references still reaches about 149,000 levels, so
// the size limit is not enough: the nesting is checked before libplist sees the bytes, and
// maximumNesting levels take a few dozen KiB of stack. A binary list may also share objects,
// which libplist copies once per reference (a 200-byte list took it past 5 GiB within a
// minute), so the tree it unfolds into is held to what maximumSize bytes could spell out.
static_assert(BuildPlistConfig::maximumSize <= std::numeric_limits<uint32_t>::max());

// libplist reads a list whose declaration follows blank lines, which expat refuses, so the
// nesting is measured from the first byte that is not blank.
std::string_view withoutLeadingBlanks(std::string_view text) {
  const auto start = text.find_first_not_of(" \t\r\n");
  return start == std::string_view::npos ? std::string_view() : text.substr(start);
}

// The fixed message names no reason, so the error keeps one for the log line and the report.
[[noreturn]] void refuse(const std::string& path, const std::string& reason) {
  throw KorvastError::failedToReadPlistPath().because(path + " " + reason);
}

// The dictionary at the top of the list in `bytes`; throws, naming `path`, when there is none.
PlistPointer parseDictionary(const std::string& bytes, const std::string& path) {
  if (bytes.empty()) refuse(path, "is empty");
  if (bytes.size() > BuildPlistConfig::maximumSize)
    refuse(path, "is larger than " + std::to_string(BuildPlistConfig::maximumSize) + " bytes");
  const auto length = static_cast<uint32_t>(bytes.size());
  const std::string tooDeep =
      "is not a property list within " + std::to_string(BuildPlistConfig::maximumNesting) + " levels";
  plist_t root = nullptr;
  // These two calls exist with the same shape in every libplist release.
  if (plist_is_binary(bytes.data(), length)) {
    if (!isWithinBounds(bytes, {BuildPlistConfig::maximumNesting, BuildPlistConfig::maximumSize}))
      refuse(path, tooDeep + " and its size");
    static_cast<void>(plist_from_bin(bytes.data(), length, &root));
  } else {
    if (!xml::rootElementIsWithinDepth(withoutLeadingBlanks(bytes), BuildPlistConfig::maximumNesting))
      refuse(path, tooDeep);
    static_cast<void>(plist_from_xml(bytes.data(), length, &root));
  }
  PlistPointer list(root);
  if (!list) refuse(path, "is not a property list");
  if (plist_get_node_type(list.get()) != PLIST_DICT) refuse(path, "has no dictionary at the top");
  return list;
}

// The string under `key`: absent when there is no such key; throws when it is not a string.
std::optional<std::string> stringValue(plist_t dictionary, const char* key, const std::string& path) {
  plist_t node = plist_dict_get_item(dictionary, key);
  if (node == nullptr) return std::nullopt;
  if (plist_get_node_type(node) != PLIST_STRING) refuse(path, std::string("holds no string under ") + key);
  char* text = nullptr;
  plist_get_string_val(node, &text);
  std::string value = text != nullptr ? text : "";
  std::free(text);
  return value;
}

}  // namespace

BuildArgumentsConfig::BuildArgumentsConfig(const Arguments& arguments) {
  for (const auto& argument : arguments) {
    switch (argument.type) {
      case ArgumentType::scheme:
        scheme = argument.value;
        break;
      case ArgumentType::configuration:
        configuration = argument.value;
        break;
      case ArgumentType::workspace:
        workspace = argument.value;
        break;
      case ArgumentType::verbose:
        verbose = true;
        break;
      default:
        break;
    }
  }
}

BuildPlistConfig::BuildPlistConfig(const files::FileManager& system, const std::string& exportPath)
    : optionsPlist(exportPath) {
  std::string bytes;
  try {
    bytes = system.readContents(exportPath, maximumSize + 1);
  } catch (const support::Error& error) {
    throw KorvastError::failedToReadPlistPath().because(error);
  }
  const PlistPointer root = parseDictionary(bytes, exportPath);
  DecodableConfiguration decoded;
  decoded.scheme = stringValue(root.get(), "korvast_scheme", exportPath);
  decoded.configuration = stringValue(root.get(), "korvast_configuration", exportPath);
  decoded.workspace = stringValue(root.get(), "korvast_workspace", exportPath);
  decodedConfig = decoded;
}

BuildConfig::BuildConfig(const Arguments& arguments, const std::string& plistPath, const files::FileManager& system)
    : optionPlistPath(plistPath) {
  const BuildPlistConfig fromPlist(system, plistPath);
  const BuildArgumentsConfig fromArguments(arguments);
  const auto& decoded = *fromPlist.decodedConfig;
  const auto chosenScheme = fromArguments.scheme ? fromArguments.scheme : decoded.scheme;
  const auto chosenConfiguration =
      fromArguments.configuration ? fromArguments.configuration : decoded.configuration;
  const auto chosenWorkspace = fromArguments.workspace ? fromArguments.workspace : decoded.workspace;
  if (!chosenScheme || !chosenConfiguration || !chosenWorkspace) throw KorvastError::failedToBuildConfig();
  scheme = *chosenScheme;
  configuration = *chosenConfiguration;
  workspace = *chosenWorkspace;
  verbose = fromArguments.verbose.value_or(false);
}

}  // namespace korvaster
