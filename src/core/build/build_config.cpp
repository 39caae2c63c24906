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

PlistPointer parsePropertyList(const std::string& bytes) {
  if (bytes.empty() || bytes.size() > BuildPlistConfig::maximumSize) return nullptr;
  const auto length = static_cast<uint32_t>(bytes.size());
  plist_t root = nullptr;
  // These two calls exist with the same shape in every libplist release.
  if (plist_is_binary(bytes.data(), length)) {
    if (!isWithinBounds(bytes, {BuildPlistConfig::maximumNesting, BuildPlistConfig::maximumSize}))
      return nullptr;
    static_cast<void>(plist_from_bin(bytes.data(), length, &root));
  } else {
    if (!xml::rootElementIsWithinDepth(withoutLeadingBlanks(bytes), BuildPlistConfig::maximumNesting))
      return nullptr;
    static_cast<void>(plist_from_xml(bytes.data(), length, &root));
  }
  return PlistPointer(root);
}

// The string under `key`: absent when there is no such key; throws when it is not a string.
std::optional<std::string> stringValue(plist_t dictionary, const char* key) {
  plist_t node = plist_dict_get_item(dictionary, key);
  if (node == nullptr) return std::nullopt;
  if (plist_get_node_type(node) != PLIST_STRING) throw KorvastError::failedToReadPlistPath();
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
  } catch (const support::Error&) {
    throw KorvastError::failedToReadPlistPath();
  }
  const PlistPointer root = parsePropertyList(bytes);
  if (!root || plist_get_node_type(root.get()) != PLIST_DICT) throw KorvastError::failedToReadPlistPath();
  DecodableConfiguration decoded;
  decoded.scheme = stringValue(root.get(), "korvast_scheme");
  decoded.configuration = stringValue(root.get(), "korvast_configuration");
  decoded.workspace = stringValue(root.get(), "korvast_workspace");
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
