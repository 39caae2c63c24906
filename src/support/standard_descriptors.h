// The three standard descriptors, made safe before the process opens anything of its own.
#pragma once

namespace korvaster::support {

// Opens /dev/null on each of descriptors 0, 1 and 2 that is closed. A process started with
// them closed would otherwise hand them to the first files it opens, and its log lines would
// be written into those files. Call before anything else is opened.
void openClosedStandardDescriptors();

// Whether `descriptor` (0, 1 or 2) was closed when openClosedStandardDescriptors() opened
// it: bytes written to it reach no one, which is still a failure to deliver them.
bool wasClosedAtStart(int descriptor);

}  // namespace korvaster::support
