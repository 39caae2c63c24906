// The JSON the reports are written in: escaping that keeps any path a valid string, and the
// layout of nested containers.
#include "support/json_writer.h"

#include <gtest/gtest.h>


namespace korvaster::support {
namespace {

TEST(JsonWriterTest, StringsAreEscapedAndBytesThatAreNotUtf8BecomeReplacementCharacters) {
  const struct {
    std::string text;
    std::string quoted;
  } cases[] = {
      {"plain/path.xib", R"("plain/path.xib")"},
      {"say \"hi\" \\ bye", R"("say \"hi\" \\ bye")"},
      {"line\nfeed\ttab\rcr", R"("line\nfeed\ttab\rcr")"},
      {std::string("nul\0bell\a", 9) + "\x1f\x7f", "\"nul\\u0000bell\\u0007\\u001f\x7f\""},
      {"caf\xc3\xa9 \xe2\x9c\x93 \xf0\x9f\x94\xa5", "\"caf\xc3\xa9 \xe2\x9c\x93 \xf0\x9f\x94\xa5\""},
      {"latin1 caf\xe9!", R"("latin1 caf\ufffd!")"},
      {"cut \xe2\x9c", R"("cut \ufffd\ufffd")"},
      {"overlong \xc0\xaf surrogate \xed\xa0\x80", R"("overlong \ufffd\ufffd surrogate \ufffd\ufffd\ufffd")"},
  };
  for (const auto& c : cases) EXPECT_EQ(jsonQuoted(c.text), c.quoted) << c.quoted;
}

TEST(JsonWriterTest, ContainersNestWithCommasBetweenMembersOnly) {
  JsonWriter json;
  json.beginObject().key("name").value("a").key("count").value(std::size_t{3}).key("seconds").value(1.5);
  json.key("empty").beginArray().endArray().key("list").beginArray().value(true).null().beginObject();
  json.key("status").value(-2).endObject().endArray().endObject();
  const std::string whole =
      "{\n  \"name\": \"a\",\n  \"count\": 3,\n  \"seconds\": 1.500,\n  \"empty\": [],\n  \"list\": [\n"
      "    true,\n    null,\n    {\n      \"status\": -2\n    }\n  ]\n}\n";
  EXPECT_EQ(json.text(), whole);

  // Taken in pieces after every step, the document is the same: the writer keeps its place.
  JsonWriter pieces;
  std::string taken;
  const auto take = [&](const JsonWriter&) { taken += pieces.takeText(); };
  take(pieces.beginObject()), take(pieces.key("name")), take(pieces.value("a"));
  take(pieces.key("count").value(std::size_t{3}).key("seconds").value(1.5).key("empty"));
  take(pieces.beginArray()), take(pieces.endArray()), take(pieces.key("list").beginArray());
  take(pieces.value(true)), take(pieces.null()), take(pieces.beginObject().key("status"));
  take(pieces.value(-2)), take(pieces.endObject()), take(pieces.endArray()), take(pieces.endObject());
  EXPECT_EQ(taken, whole);
  EXPECT_EQ(pieces.text(), "");
}

}  // namespace
}  // namespace korvaster::support
