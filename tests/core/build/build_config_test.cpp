#include "core/build/build_config.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/build/binary_property_list_bounds.h"
#include "core/errors/korvast_error.h"
#include "files/file_manager_posix.h"
#include "temporary_folder.h"

namespace korvaster {
namespace {

std::string plist(const std::string& entries) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>method</key>"
         "<string>ad-hoc</string>" + entries + "</dict></plist>";
}

const std::string kAllKeys =
    "<key>korvast_scheme</key><string>PlistScheme</string><key>korvast_configuration</key><string>PlistConfig"
    "</string><key>korvast_workspace</key><string>Plist.xcworkspace</string>";

TEST(BuildConfigTest, TheCommandLineWinsFieldByFieldAndEmptyValuesCount) {
  const testing::TemporaryFolder temp;
  const files::PosixFileManager disk;
  const std::string all = temp.write("All.plist", plist("<key>korvast_scheme</key><string>PlistScheme</string>"
                                                        "<key>korvast_configuration</key><string></string>"
                                                        "<key>korvast_workspace</key><string>P.xcworkspace</string>"));
  const BuildConfig fromPlist({}, all, disk);
  EXPECT_EQ(std::tuple(fromPlist.scheme, fromPlist.configuration, fromPlist.workspace, fromPlist.verbose),
            std::tuple("PlistScheme", "", "P.xcworkspace", false));
  EXPECT_EQ(fromPlist.optionPlistPath, all);
  // A later argument replaces an earlier one.
  const BuildConfig mixed({{ArgumentType::scheme, "a"}, {ArgumentType::verbose, ""}, {ArgumentType::scheme, "b"}}, all, disk);
  EXPECT_EQ(std::tuple(mixed.scheme, mixed.configuration, mixed.workspace, mixed.verbose),
            std::tuple("b", "", "P.xcworkspace", true));
  const BuildConfig fromCli({{ArgumentType::scheme, ""}, {ArgumentType::configuration, "C"},
                             {ArgumentType::workspace, "W"}, {ArgumentType::projectPath, "ignored"}},
                            temp.write("Bare.plist", plist("")), disk);
  EXPECT_EQ(std::tuple(fromCli.scheme, fromCli.configuration, fromCli.workspace), std::tuple("", "C", "W"));
  const BuildConfig binary(
      {}, temp.write("binary.plist", testing::readFile(KORVASTER_TEST_FIXTURES "/ExportOptions.binary.plist")), disk);
  EXPECT_EQ(std::tuple(binary.scheme, binary.configuration, binary.workspace),
            std::tuple("App", "Release", "App.xcworkspace"));
  try {
    BuildConfig({{ArgumentType::configuration, "C"}}, temp.write("S.plist", plist("<key>korvast_scheme</key><string>S</string>")), disk);
    ADD_FAILURE() << "a workspace was found";
  } catch (const KorvastError& error) {
    EXPECT_EQ(error.errorCase(), KorvastError::Case::failedToBuildConfig);
  }
}

std::string bigEndian(std::size_t value, std::size_t width) {
  std::string out(width, '\0');
  for (std::size_t index = width; index-- > 0; value >>= 8) out[index] = static_cast<char>(value & 0xFF);
  return out;
}

// Lays out a binary property list, objects numbered in the order they are added.
struct BinaryList {
  std::size_t referenceSize = 1;
  std::vector<std::string> objects;

  std::size_t add(unsigned type, std::size_t count, const std::string& payload) {
    const std::string marker = count < 15 ? std::string(1, static_cast<char>(type | count))
                                          : std::string{static_cast<char>(type | 0x0F), '\x12'} + bigEndian(count, 4);
    objects.push_back(marker + payload);
    return objects.size() - 1;
  }
  std::size_t ascii(const std::string& text) { return add(0x50, text.size(), text); }
  std::size_t array(const std::vector<std::size_t>& items) {
    std::string references;
    for (const std::size_t item : items) references += bigEndian(item, referenceSize);
    return add(0xA0, items.size(), references);
  }
  // The tool's three keys, all naming one shared string, and `extra` under a fourth key.
  std::string withExportOptions(std::size_t extra) {
    std::string references;
    for (const char* key : {"korvast_scheme", "korvast_configuration", "korvast_workspace", "extra"})
      references += bigEndian(ascii(key), referenceSize);
    const std::string value = bigEndian(ascii("Shared"), referenceSize);
    const std::size_t root = add(0xD0, 4, references + value + value + value + bigEndian(extra, referenceSize));
    std::string out = "bplist00";
    std::vector<std::size_t> offsets;
    for (const auto& object : objects) {
      offsets.push_back(out.size());
      out += object;
    }
    const std::size_t tableOffset = out.size();
    std::size_t offsetSize = 1;
    while (tableOffset >> (8 * offsetSize) != 0) ++offsetSize;
    for (const std::size_t offset : offsets) out += bigEndian(offset, offsetSize);
    out += std::string(6, '\0') + static_cast<char>(offsetSize) + static_cast<char>(referenceSize);
    return out + bigEndian(objects.size(), 8) + bigEndian(root, 8) + bigEndian(tableOffset, 8);
  }
};

// A binary list whose extra key holds `levels` arrays, each inside the one before.
std::string binaryNested(std::size_t levels, std::size_t referenceSize) {
  BinaryList list{referenceSize, {}};
  for (std::size_t level = 1; level < levels; ++level) list.array({list.objects.size() + 1});
  list.array({});
  return list.withExportOptions(0);
}

std::string xmlNested(std::size_t levels) {
  std::string text;
  for (std::size_t level = 0; level < levels; ++level) text += "<array>";
  for (std::size_t level = 0; level < levels; ++level) text += "</array>";
  return text;
}

// A binary list whose extra key holds an array that references one big string `times` times.
std::string bigStringReferenced(std::size_t times) {
  BinaryList list{2, {}};
  const std::size_t big = list.ascii(std::string(BuildPlistConfig::maximumSize / 3, 'x'));
  return list.withExportOptions(list.array(std::vector(times, big)));
}

TEST(BuildConfigTest, ListsUpToEveryLimitAreReadAndUnreadableMalformedOrOverLimitListsAreRefused) {
  const testing::TemporaryFolder temp;
  const files::PosixFileManager disk;
  const std::string padding(BuildPlistConfig::maximumSize - plist(kAllKeys + "<key>p</key><string></string>").size(), 'x');
  BinaryList small;
  const std::string good = small.withExportOptions(small.array({}));
  const std::size_t trailer = good.size() - 32;
  const auto patched = [&](std::size_t at, const std::string& bytes) { return std::string(good).replace(at, bytes.size(), bytes); };
  BinaryList wide;  // a few hundred bytes that unfold into 2^21 objects
  for (int level = 0; level < 20; ++level) wide.array({wide.objects.size() + 1, wide.objects.size() + 1});
  wide.array({});
  const std::string crashing = binaryNested(140000, 3);  // past the depth at which libplist overflowed the stack
  ASSERT_LE(crashing.size(), BuildPlistConfig::maximumSize);

  // <plist> and <dict> take the first two levels of an XML list, the top dictionary the first of a binary one.
  const std::pair<std::string, std::string> read[] = {
      {plist(kAllKeys + "<key>p</key><string>" + padding + "</string>"), "PlistScheme"},
      {plist(kAllKeys + "<key>deep</key>" + xmlNested(BuildPlistConfig::maximumNesting - 2)), "PlistScheme"},
      {"\n \n" + plist(kAllKeys), "PlistScheme"},  // what libplist read and expat alone would refuse
      {plist(kAllKeys) + "\n<junk", "PlistScheme"},
      {binaryNested(BuildPlistConfig::maximumNesting - 1, 2), "Shared"},
      {bigStringReferenced(2), "Shared"},
      {good, "Shared"},
  };
  ASSERT_EQ(read[0].first.size(), BuildPlistConfig::maximumSize);
  for (const auto& [contents, scheme] : read) EXPECT_EQ(BuildConfig({}, temp.write("ok.plist", contents), disk).scheme, scheme);

  const std::vector<std::string> refused{
      "", "not a property list", "<plist><array><string>x</string></array></plist>",
      plist(kAllKeys + "<key>korvast_scheme</key><integer>3</integer>"),
      plist(kAllKeys + "<key>p</key><string>x" + padding + "</string>"),
      plist(kAllKeys + "<key>deep</key>" + xmlNested(BuildPlistConfig::maximumNesting - 1)),
      xmlNested(1000000),  // the list that crashed the tool
      binaryNested(BuildPlistConfig::maximumNesting, 2), crashing, wide.withExportOptions(0),
      bigStringReferenced(3),
      patched(trailer + 16, bigEndian(7, 8)),            // root past the last object
      patched(trailer + 24, bigEndian(good.size(), 8)),  // offset table past the trailer
      patched(trailer - 1, "\xFF"),                      // last object past the offset table
      patched(9, "\x5F\x11\xFF\xFF"),                    // string longer than the list
      patched(good.find('\xD4') + 1, "\x40"),            // reference past the last object
      good.substr(0, 39),
  };
  temp.makeFolder("folder.plist");
  std::vector<std::string> paths{temp / "missing", temp / "folder.plist"};
  for (std::size_t index = 0; index < refused.size(); ++index) paths.push_back(temp.write(std::to_string(index), refused[index]));
  for (const auto& path : paths) {
    try {
      BuildConfig({{ArgumentType::scheme, "S"}, {ArgumentType::configuration, "C"}, {ArgumentType::workspace, "W"}}, path, disk);
      ADD_FAILURE() << "read " << path;
    } catch (const KorvastError& error) {
      EXPECT_EQ(error.errorCase(), KorvastError::Case::failedToReadPlistPath) << path;
      EXPECT_NE(error.cause().value_or("").find(path), std::string::npos) << path;
    }
  }
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
