// The --output option's one check that comes before any work.
#pragma once

#include <memory>

#include "core/logging/logger.h"
#include "core/options/argument.h"

namespace korvaster {

// Throws the file layer's PathError (empty), after an Error line naming the option, when
// --output was given an empty path. An empty path would otherwise open the current folder,
// which is the project itself when the run starts there, and the project would be changed in
// place: in CI that is `--output "$OUT"` with OUT unset.
void refuseEmptyOutput(const Arguments& arguments, const std::shared_ptr<Logger>& logger);

}  // namespace korvaster
