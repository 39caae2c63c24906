// The sentences the workflows end with.
#pragma once

namespace korvaster::Constants::CommandOutputs {
inline constexpr const char* Modify = "Your modified project is at %@";
inline constexpr const char* Build = "Your ipa file located at %@";
}  // namespace korvaster::Constants::CommandOutputs
