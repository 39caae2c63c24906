#include "core/build/binary_property_list_bounds.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvaster {
namespace {

std::string bigEndian(std::size_t value, std::size_t width) {
  std::string out(width, '\0');
  for (std::size_t index = width; index-- > 0; value >>= 8) out[index] = static_cast<char>(value & 0xFF);
  return out;
}

// The magic, `body` (the objects, from offset 8), a table of one-byte offsets and the trailer
// with one-byte references. `spare` is the trailer's first byte, which no reader uses: read as
// one more offset, it leads to a real object.
std::string laidOut(const std::string& body, const std::vector<std::size_t>& offsets, std::size_t root,
                    char spare = '\0') {
  std::string out = "bplist00" + body;
  const std::size_t tableOffset = out.size();
  for (const std::size_t offset : offsets) out += static_cast<char>(offset);
  out += spare + std::string(5, '\0') + "\x01\x01";
  return out + bigEndian(offsets.size(), 8) + bigEndian(root, 8) + bigEndian(tableOffset, 8);
}

// An array at offset 8 that references the string "abc" (at offset 9 + count) `count` times.
std::string arrayOfOneString(std::size_t count) {
  return laidOut(std::string(1, static_cast<char>(0xA0 | count)) + std::string(count, '\x01') + "\x53" "abc",
                 {8, 9 + count}, 0);
}

// Each case lies exactly at one of the limits the walk checks, on the side that decides.
TEST(BinaryPropertyListBoundsTest, ListsExactlyAtEachLimitAreJudgedOnTheRightSide) {
  constexpr BinaryPropertyListBounds kRoomy{256, 1 << 20};
  const std::string sixteenByteInteger = "\x14" + std::string(16, '\x01');
  const std::string stringOf15 = std::string("\x5F\x13", 2) + bigEndian(15, 8) + std::string(15, 's');
  const std::size_t arrayBytes = 1 + 3, stringBytes = 4;  // marker and references; marker and text
  const struct {
    const char* what;
    std::string bytes;
    BinaryPropertyListBounds bounds;
    bool within;
  } cases[] = {
      {"the widest integer, 16 bytes", laidOut(sixteenByteInteger, {8}, 0), kRoomy, true},
      {"a length held in the widest count, 8 bytes", laidOut(stringOf15, {8}, 0), kRoomy, true},
      {"a length whose count ends where the offset table begins", laidOut(std::string("\x5F\x10\x00", 3), {8}, 0),
       kRoomy, true},
      {"a length marker as the last byte before the offset table", laidOut(std::string(8, '\0') + "\x5F", {16}, 0),
       kRoomy, false},
      {"an object at the offset table itself", laidOut(std::string(1, '\0'), {9}, 0), kRoomy, false},
      {"a root one past the last object", laidOut(std::string(1, '\0'), {8}, 1, '\x08'), kRoomy, false},
      {"a reference one past the last object", laidOut(std::string("\xA1\x01\x00", 3), {8}, 0, '\x0A'), kRoomy, false},
      {"a lone root exactly as large as allowed", laidOut(sixteenByteInteger, {8}, 0), {1, 17}, true},
      {"a lone root one byte larger", laidOut(sixteenByteInteger, {8}, 0), {1, 16}, false},
      {"a tree exactly as large as allowed", arrayOfOneString(3), {2, arrayBytes + 3 * stringBytes}, true},
      {"a tree one byte larger", arrayOfOneString(3), {2, arrayBytes + 3 * stringBytes - 1}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(isWithinBounds(c.bytes, c.bounds), c.within) << c.what;
}

}  // namespace
}  // namespace korvaster
