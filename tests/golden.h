// Approved outputs, kept as data under tests/data/golden: a test compares what it got with the
// approved text. With KORVASTER_APPROVE=1 in its environment it writes what it got there
// instead, for a reviewer to read in the diff.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "temporary_folder.h"

namespace korvaster::testing {

inline void expectApproved(const std::string& name, const std::string& actual) {
  const std::string path = std::string(KORVASTER_GOLDEN_DIR) + "/" + name;
  if (std::getenv("KORVASTER_APPROVE") != nullptr) std::ofstream(path, std::ios::binary) << actual;
  EXPECT_EQ(actual, readFile(path)) << "differs from the approved " << path;
}

// The run report at `path` against the approved one, its duration (which no test can know) set
// to 0 and `temp` written as @TEMP@.
inline void expectApprovedReport(const std::string& name, const std::string& path, const std::string& temp) {
  std::string report = readFile(path);
  const std::size_t duration = report.find("\"durationSeconds\": ") + 19;
  report.replace(duration, report.find(',', duration) - duration, 1, '0');
  expectApproved(name, replaced(report, temp, "@TEMP@"));
}

}  // namespace korvaster::testing
