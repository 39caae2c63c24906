#include "core/build/build_config.h"

#include <plist/plist.h>

#include <cstdlib>
#include <limits>
#include <memory>

#include "core/errors/korvast_error.h"
#include "files/file_contents.h"

namespace korvaster {

namespace {

struct PlistDeleter {
  void operator()(void* node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPointer = std::unique_ptr<void, PlistDeleter>;

PlistPointer parsePropertyList(const std::string& bytes) {
  if (bytes.empty() || bytes.size() > std::numeric_limits<uint32_t>::max()) return nullptr;
  const auto length = static_cast<uint32_t>(bytes.size());
  plist_t root = nullptr;
  // These two calls exist with the same shape in every libplist release.
  if (plist_is_binary(bytes.data(), length)) {
    static_cast<void>(plist_from_bin(bytes.data(), length, &root));
  } else {
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

BuildPlistConfig::BuildPlistConfig(const std::string& exportPath) : optionsPlist(exportPath) {
  std::string bytes;
  try {
    bytes = files::readContents(exportPath);
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

BuildConfig::BuildConfig(const Arguments& arguments, const std::string& plistPath)
    : optionPlistPath(plistPath) {
  const BuildPlistConfig fromPlist(plistPath);
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
