#include "native_messaging/json_document_builder.h"

#include <gtest/gtest.h>

#include <string>

namespace morel {
namespace {

// The builder must give exactly what the library's own parser gives, and refuse what it
// refuses.
void ExpectSameAsLibrary(const std::string& text) {
  JsonDocumentBuilder builder;
  const bool parsed = json::sax_parse(text.begin(), text.end(), &builder);
  const json expected = json::parse(text, nullptr, /*allow_exceptions=*/false);
  ASSERT_EQ(parsed, !expected.is_discarded()) << text;
  if (!parsed) return;
  const json built = builder.Release();
  EXPECT_EQ(built, expected) << text;
  EXPECT_EQ(built.dump(), expected.dump()) << text;  // number kinds too: 1 vs 1.0 vs unsigned
}

TEST(JsonDocumentBuilderTest, BuildsWhatTheLibraryParserBuilds) {
  for (const char* text : {
           "null",
           "true",
           "0",
           "-0",
           "-1",
           "18446744073709551615",
           "18446744073709551616",
           "-9223372036854775808",
           "1.5e3",
           "\"\"",
           "\"a\\u00e9\\ud83d\\ude00\\n\"",
           "[]",
           "{}",
           R"({"id":7,"method":"send_text","params":{"text":"a${KEY_ENTER}"}})",
           R"([1,[2,[3,[]]],{"a":{"b":[{}]}},"x",false,null])",
           R"({"b":1,"a":2,"c":{"z":[1,2],"y":null}})",
           R"({"a":1,"a":{"x":2},"b":[1],"b":"last"})",  // repeated keys: the last value wins
           R"({"":"","\u0000":1})",
       }) {
    ExpectSameAsLibrary(text);
  }
}

TEST(JsonDocumentBuilderTest, RefusesWhatTheLibraryRefuses) {
  for (const char* text : {"", "{", "[1,]", "{\"a\"}", "1e400", "\"\\ud800\"", "\"\xC3\x28\"",
                           "{} x", "01", "\"\t\"", "[1]]"}) {
    ExpectSameAsLibrary(text);
  }
}

// Comparing or printing a value recurses, so deep values are checked by walking down them.
TEST(JsonDocumentBuilderTest, DeepNestingIsBuiltWithoutRecursion) {
  const int depth = 20000;
  std::string arrays = std::string(depth, '[') + "7" + std::string(depth, ']');
  std::string objects;
  for (int i = 0; i < depth; ++i) objects += "{\"k\":";
  objects += "7" + std::string(depth, '}');

  for (const std::string& text : {arrays, objects}) {
    JsonDocumentBuilder builder;
    ASSERT_TRUE(json::sax_parse(text.begin(), text.end(), &builder));
    const json built = builder.Release();
    const json* at = &built;
    int levels = 0;
    while (at->is_array() || at->is_object()) {
      ASSERT_EQ(at->size(), 1u);
      at = at->is_array() ? &(*at)[0] : &(*at)["k"];
      ++levels;
    }
    EXPECT_EQ(levels, depth);
    EXPECT_EQ(*at, 7);
  }
  ExpectSameAsLibrary(std::string(depth, '[') + std::string(depth - 1, ']'));
}

TEST(JsonDocumentBuilderTest, LargeStringsAndKeys) {
  ExpectSameAsLibrary("{\"" + std::string(1 << 20, 'k') + "\":[\"" + std::string(1 << 20, 'v') +
                      "\"]}");
}

}  // namespace
}  // namespace morel
