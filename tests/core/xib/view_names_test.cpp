// How `ids` names views and their owners, and how those names become Swift identifiers.
#include "core/xib/view_names.h"

#include <gtest/gtest.h>

#include "core/xib/swift_file_names.h"
#include "core/xib/swift_names.h"
#include "core/xib/view_listing.h"
#include "golden.h"
#include "xml/xml_error.h"

namespace korvaster {
namespace {

// Each document under tests/data/view-names, its file name saying what it shows, with every
// view's name, owner, Swift name, position and identifier, or the error that says where the
// file cannot be read, against the approved listing. Owners fall back to the file name "Main".
TEST(ViewNamesTest, ViewsAreNamedByOutletLabelTextOrIdAndBecomeUniqueSwiftNames) {
  std::string listed;
  for (const auto& path : testing::filesIn(KORVASTER_GOLDEN_DIR "/../view-names")) {
    listed += std::filesystem::path(path).filename().string() + "\n";
    ViewListing listing;
    try {
      listing = listViews(testing::readFile(path));
    } catch (const xml::XmlSyntaxError& error) {
      listed += "  " + error.description() + "\n";
    }
    SwiftScope scope(SwiftNameKind::member);
    for (std::size_t index = 0; index < listing.size(); ++index) {
      const ViewName named = nameView(listing, index, "Main");
      const auto& view = listing.view(index);
      listed += "  " + named.name + " | " + std::string(named.owner) + " | " + scope.claim(named.name, view.id) + " | " +
                std::to_string(view.position.line) + ":" + std::to_string(view.position.column) + " | " +
                (view.hasIdentifier ? std::string(view.identifier) : "(no identifier)") + "\n";
    }
  }
  testing::expectApproved("view-names.txt", listed);
}

// Each name as a Swift type, string literal and comment, against the approved text: a combining
// mark cannot lead, digits stand first and last among the letters, bytes that are not UTF-8 and
// three-byte characters led by 0xE0 are read as such; a private-use character goes, the first
// four-byte letter stays.
TEST(ViewNamesTest, TypesStringsAndCommentsStayValidSwift) {
  std::string written;
  for (const std::string input : {"login view-controller", "Any", "\xCC\x81x", "a\"b\\c\n\x01", "bad\xFFutf", "%%%",
                                  "row 0 to 9", "\xE0\xB8\x81 x",
                                  "\xF3\xB0\x80\x80x\xF0\x90\x80\x80"}) {
    written += swiftIdentifier(input, SwiftNameKind::type) + " | " + swiftStringLiteral(input) + " | " +
               swiftCommentText(input) + "\n";
  }
  testing::expectApproved("swift-names.txt", written);
  SwiftScope scope(SwiftNameKind::type);
  EXPECT_EQ(scope.claim("%%%", ""), "Unnamed");
  EXPECT_EQ(scope.claim("unnamed", ""), "Unnamed_2");
}

// Files of the same name are told apart by their innermost folders, never a localisation folder;
// a file of another name renames none ("Other.xib"), one of the same name only those it needs to.
TEST(ViewNamesTest, AFileIsNamedByItsOwnPathAndThoseOfTheSameNameAlone) {
  std::vector<std::string> paths = {"App/Base.lproj/Main.storyboard", "Kit/Widget/Base.lproj/Main.storyboard",
                                    "App/fr.lproj/Main.storyboard", "Login view.xib"};
  using Names = std::vector<std::string>;
  EXPECT_EQ(swiftFileTypeNames(paths), (Names{"Main_App", "Main_Widget", "Main_App_2", "LoginView"}));
  paths.insert(paths.end(), {"Other.xib", "Main.xib", "Other/Widget/Main.xib", "A/Login-view.xib"});
  EXPECT_EQ(swiftFileTypeNames(paths), (Names{"Main_App", "Main_Kit_Widget", "Main_App_2", "LoginView", "Other", "Main",
                                              "Main_Other_Widget", "LoginView_A"}));
}

}  // namespace
}  // namespace korvaster
