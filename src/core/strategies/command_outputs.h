// The sentences the workflows end with.
#pragma once

namespace korvaster::Constants::CommandOutputs {
inline constexpr const char* Modify = "Your modified project is at %@";
inline constexpr const char* Build = "Your ipa file located at %@";
}  // namespace korvaster::Constants::CommandOutputs

namespace korvaster::Constants::CommandOutputs {
inline constexpr const char* Fix = "Your project at %@ has its identifiers where Xcode writes them";
inline constexpr const char* FixDryRun = "Nothing was changed in %@ (dry run)";
// With the number of files left alone, the number of files, and the project.
inline constexpr const char* FixLeftFiles =
    "%@ of %@ Interface Builder files were left as they were in %@: see the Error lines above";
inline constexpr const char* FixDryRunLeftFiles =
    "%@ of %@ Interface Builder files could not be read and are not in the diff; "
    "nothing was changed in %@ (dry run)";
}  // namespace korvaster::Constants::CommandOutputs
