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

}  // namespace korvaster::testing
