// The JSON the reports are written in: escaping that keeps any path a valid string, and the
// layout of nested containers.
#include "support/json_writer.h"

#include <gtest/gtest.h>

#include "golden.h"

namespace korvaster::support {
namespace {

// Each text as a JSON string, against the approved text: controls escaped, bytes that are not
// UTF-8 (overlong forms and surrogates included) each become U+FFFD.
TEST(JsonWriterTest, StringsAreEscapedAndBytesThatAreNotUtf8BecomeReplacementCharacters) {
  std::string quoted;
  for (const std::string& text : {std::string("plain/path.xib"), std::string("say \"hi\" \\ bye"),
                                 std::string("line\nfeed\ttab\rcr"), std::string("nul\0bell\a\x1f\x7f", 11),
                                 std::string("caf\xc3\xa9 \xe2\x9c\x93 \xf0\x9f\x94\xa5"), std::string("latin1 caf\xe9!"),
                                 std::string("cut \xe2\x9c"), std::string("overlong \xc0\xaf surrogate \xed\xa0\x80")}) {
    quoted += jsonQuoted(text) + "\n";
  }
  testing::expectApproved("json-quoted.txt", quoted);
}

// Taken in pieces after every step, the document is whole: the writer keeps its place.
TEST(JsonWriterTest, ContainersNestWithCommasBetweenMembersOnly) {
  JsonWriter pieces;
  std::string taken;
  const auto take = [&](const JsonWriter&) { taken += pieces.takeText(); };
  take(pieces.beginObject()), take(pieces.key("name")), take(pieces.value("a"));
  take(pieces.key("count").value(std::size_t{3}).key("seconds").value(1.5).key("empty"));
  take(pieces.beginArray()), take(pieces.endArray()), take(pieces.key("list").beginArray());
  take(pieces.value(true)), take(pieces.null()), take(pieces.beginObject().key("status"));
  take(pieces.value(-2)), take(pieces.endObject()), take(pieces.endArray()), take(pieces.endObject());
  EXPECT_EQ(taken, "{\n  \"name\": \"a\",\n  \"count\": 3,\n  \"seconds\": 1.500,\n  \"empty\": [],\n  \"list\": [\n"
                   "    true,\n    null,\n    {\n      \"status\": -2\n    }\n  ]\n}\n");
  EXPECT_EQ(pieces.text(), "");
}

}  // namespace
}  // namespace korvaster::support
