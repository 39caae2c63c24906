#include "core/build/build_config.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/errors/korvast_error.h"
#include "temporary_folder.h"

namespace korvaster {
namespace {

std::string plist(const std::string& entries) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict><key>method</key>"
         "<string>ad-hoc</string>" + entries + "</dict></plist>";
}

TEST(BuildConfigTest, TheCommandLineWinsFieldByFieldAndEmptyValuesCount) {
  testing::TemporaryFolder temp;
  const std::string all = temp.write("All.plist", plist("<key>korvast_scheme</key><string>PlistScheme</string>"
                                                        "<key>korvast_configuration</key><string></string>"
                                                        "<key>korvast_workspace</key><string>P.xcworkspace</string>"));
  const BuildConfig fromPlist({}, all);
  EXPECT_EQ(std::tuple(fromPlist.scheme, fromPlist.configuration, fromPlist.workspace, fromPlist.verbose),
            std::tuple("PlistScheme", "", "P.xcworkspace", false));
  EXPECT_EQ(fromPlist.optionPlistPath, all);
  // A later argument replaces an earlier one.
  const BuildConfig mixed({{ArgumentType::scheme, "a"}, {ArgumentType::verbose, ""}, {ArgumentType::scheme, "b"}}, all);
  EXPECT_EQ(std::tuple(mixed.scheme, mixed.configuration, mixed.workspace, mixed.verbose),
            std::tuple("b", "", "P.xcworkspace", true));
  const BuildConfig fromCli({{ArgumentType::scheme, ""}, {ArgumentType::configuration, "C"},
                             {ArgumentType::workspace, "W"}, {ArgumentType::projectPath, "ignored"}},
                            temp.write("Bare.plist", plist("")));
  EXPECT_EQ(std::tuple(fromCli.scheme, fromCli.configuration, fromCli.workspace), std::tuple("", "C", "W"));
  const BuildConfig binary({}, KORVASTER_TEST_FIXTURES "/ExportOptions.binary.plist");
  EXPECT_EQ(std::tuple(binary.scheme, binary.configuration, binary.workspace),
            std::tuple("App", "Release", "App.xcworkspace"));
}

TEST(BuildConfigTest, AnUnreadableListOrAMissingSettingFails) {
  testing::TemporaryFolder temp;
  const Arguments everything{{ArgumentType::scheme, "S"}, {ArgumentType::configuration, "C"},
                             {ArgumentType::workspace, "W"}};
  const auto unreadable = KorvastError::Case::failedToReadPlistPath;
  const struct {
    Arguments arguments;
    std::string path;
    KorvastError::Case expected;
  } cases[] = {
      {everything, temp / "missing.plist", unreadable},
      {everything, temp.write("empty.plist", ""), unreadable},
      {everything, temp.write("junk.plist", "not a property list"), unreadable},
      {everything, temp.write("array.plist", "<plist><array><string>x</string></array></plist>"), unreadable},
      {everything, temp.write("number.plist", plist("<key>korvast_scheme</key><integer>3</integer>")), unreadable},
      {everything, temp.makeFolder("folder.plist"), unreadable},
      {everything, "/dev/zero", unreadable},  // never read: it would not end
      {{{ArgumentType::configuration, "C"}}, temp.write("S.plist", plist("<key>korvast_scheme</key><string>S</string>")),
       KorvastError::Case::failedToBuildConfig},
  };
  for (const auto& c : cases) {
    try {
      BuildConfig(c.arguments, c.path);
      ADD_FAILURE() << "no failure for " << c.path;
    } catch (const KorvastError& error) {
      EXPECT_EQ(error.errorCase(), c.expected) << c.path;
    }
  }
}

using testing::TemporaryFolder;

const std::string kAllKeys =
    "<key>korvast_scheme</key><string>PlistScheme</string>"
    "<key>korvast_configuration</key><string>PlistConfig</string>"
    "<key>korvast_workspace</key><string>Plist.xcworkspace</string>";

KorvastError::Case failureOf(const Arguments& arguments, const std::string& path) {
  try {
    BuildConfig config(arguments, path);
  } catch (const KorvastError& error) {
    return error.errorCase();
  }
  ADD_FAILURE() << "no KorvastError for " << path;
  return KorvastError::Case::missingArguments;
}

std::string nestedArrays(std::size_t levels) {
  std::string text;
  for (std::size_t level = 0; level < levels; ++level) text += "<array>";
  for (std::size_t level = 0; level < levels; ++level) text += "</array>";
  return text;
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
    const std::string marker =
        count < 15 ? std::string(1, static_cast<char>(type | count))
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
  std::size_t exportOptions(std::size_t extra) {
    std::string references;
    for (const char* key : {"korvast_scheme", "korvast_configuration", "korvast_workspace", "extra"})
      references += bigEndian(ascii(key), referenceSize);
    const std::string value = bigEndian(ascii("Shared"), referenceSize);
    return add(0xD0, 4, references + value + value + value + bigEndian(extra, referenceSize));
  }
  std::string bytes(std::size_t root) const {
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
std::string binaryListWithNestedArrays(std::size_t levels, std::size_t referenceSize) {
  BinaryList list{referenceSize, {}};
  for (std::size_t level = 1; level < levels; ++level) list.array({list.objects.size() + 1});
  list.array({});
  return list.bytes(list.exportOptions(0));
}

TEST(BuildPlistConfigTest, ListsAreReadUpToTheSizeLimitAndRefusedPastIt) {
  TemporaryFolder temp;
  const std::string frame = plist(kAllKeys + "<key>padding</key><string></string>");
  const std::string padding(BuildPlistConfig::maximumSize - frame.size(), 'x');
  const std::string atTheLimit = plist(kAllKeys + "<key>padding</key><string>" + padding + "</string>");
  ASSERT_EQ(atTheLimit.size(), BuildPlistConfig::maximumSize);
  EXPECT_EQ(BuildConfig({}, temp.write("limit.plist", atTheLimit)).scheme, "PlistScheme");
  const std::string pastTheLimit = plist(kAllKeys + "<key>padding</key><string>x" + padding + "</string>");
  EXPECT_EQ(failureOf({}, temp.write("over.plist", pastTheLimit)), KorvastError::Case::failedToReadPlistPath);
  EXPECT_EQ(failureOf({}, "/dev/zero"), KorvastError::Case::failedToReadPlistPath);
}

TEST(BuildPlistConfigTest, XmlListsNestedPastTheLimitAreRefused) {
  TemporaryFolder temp;
  // <plist> and <dict> take the first two levels.
  const std::size_t deepestAllowed = BuildPlistConfig::maximumNesting - 2;
  const auto withArrays = [&](std::size_t levels) {
    return temp.write("deep.plist", plist(kAllKeys + "<key>deep</key>" + nestedArrays(levels)));
  };
  EXPECT_EQ(BuildConfig({}, withArrays(deepestAllowed)).scheme, "PlistScheme");
  EXPECT_EQ(failureOf({}, withArrays(deepestAllowed + 1)), KorvastError::Case::failedToReadPlistPath);
  // The list that crashed the tool.
  EXPECT_EQ(failureOf({}, temp.write("million.plist", nestedArrays(1000000))),
            KorvastError::Case::failedToReadPlistPath);
  // What libplist read before and expat alone would refuse is still read.
  EXPECT_EQ(BuildConfig({}, temp.write("blank.plist", "\n \n" + plist(kAllKeys))).scheme, "PlistScheme");
  EXPECT_EQ(BuildConfig({}, temp.write("junk.plist", plist(kAllKeys) + "\n<junk")).scheme, "PlistScheme");
}

TEST(BuildPlistConfigTest, BinaryListsNestedPastTheLimitAreRefused) {
  TemporaryFolder temp;
  // The dictionary at the top is the first level.
  const std::size_t deepestAllowed = BuildPlistConfig::maximumNesting - 1;
  EXPECT_EQ(BuildConfig({}, temp.write("ok.plist", binaryListWithNestedArrays(deepestAllowed, 2))).scheme,
            "Shared");
  EXPECT_EQ(failureOf({}, temp.write("deep.plist", binaryListWithNestedArrays(deepestAllowed + 1, 2))),
            KorvastError::Case::failedToReadPlistPath);
  // Within the size limit, yet past the 87,000 levels at which libplist overflowed the stack.
  const std::string crashing = binaryListWithNestedArrays(140000, 3);
  ASSERT_LE(crashing.size(), BuildPlistConfig::maximumSize);
  EXPECT_EQ(failureOf({}, temp.write("crash.plist", crashing)), KorvastError::Case::failedToReadPlistPath);
}

TEST(BuildPlistConfigTest, SharedObjectsCountOncePerReference) {
  TemporaryFolder temp;
  BinaryList wide;
  for (int level = 0; level < 20; ++level) wide.array({wide.objects.size() + 1, wide.objects.size() + 1});
  wide.array({});
  // A few hundred bytes that unfold into 2^21 objects.
  EXPECT_EQ(failureOf({}, temp.write("wide.plist", wide.bytes(wide.exportOptions(0)))),
            KorvastError::Case::failedToReadPlistPath);

  const auto withStringReferencedTimes = [&](std::size_t times) {
    BinaryList list{2, {}};
    const std::size_t big = list.ascii(std::string(BuildPlistConfig::maximumSize / 3, 'x'));
    return temp.write("big.plist", list.bytes(list.exportOptions(list.array(std::vector(times, big)))));
  };
  EXPECT_EQ(BuildConfig({}, withStringReferencedTimes(2)).scheme, "Shared");
  EXPECT_EQ(failureOf({}, withStringReferencedTimes(3)), KorvastError::Case::failedToReadPlistPath);
}

TEST(BuildPlistConfigTest, MalformedBinaryListsAreRefused) {
  TemporaryFolder temp;
  BinaryList list;
  const std::string good = list.bytes(list.exportOptions(list.array({})));
  ASSERT_EQ(BuildConfig({}, temp.write("good.plist", good)).scheme, "Shared");
  const std::size_t trailer = good.size() - 32;
  const auto patched = [&](std::size_t position, const std::string& replacement) {
    return std::string(good).replace(position, replacement.size(), replacement);
  };
  const std::vector<std::string> broken{
      patched(trailer + 16, bigEndian(7, 8)),            // root past the last object
      patched(trailer + 24, bigEndian(good.size(), 8)),  // offset table past the trailer
      patched(trailer - 1, "\xFF"),                      // last object past the offset table
      patched(9, "\x5F\x11\xFF\xFF"),                    // string longer than the list
      patched(good.find('\xD4') + 1, "\x40"),            // reference past the last object
      good.substr(0, 39),
  };
  for (std::size_t index = 0; index < broken.size(); ++index) {
    EXPECT_EQ(failureOf({}, temp.write("bad" + std::to_string(index), broken[index])),
              KorvastError::Case::failedToReadPlistPath)
        << index;
  }
}

}  // namespace
}  // namespace korvaster
