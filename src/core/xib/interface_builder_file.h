// One Interface Builder file taken through the identifier rules: read, changed, written back.
#pragma once

#include <string>

#include "core/xib/accessibility_identifiers.h"
#include "files/file_manager.h"

namespace korvaster {

// Reads the file at `path` through `system`, gives its views their identifiers and writes it
// back atomically, every text as it was read. Throws the file layer's FileIOError, the XML
// layer's XmlSyntaxError (also for nesting too deep to be an Interface Builder file) or
// XmlError; the file is then left as it was. Returns what the rules found and did.
IdentifierCounts addAccessibilityIdentifiers(const files::FileManager& system, const std::string& path);

}  // namespace korvaster
