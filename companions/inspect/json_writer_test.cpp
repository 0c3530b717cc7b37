#include "json_writer.h"

#include <gtest/gtest.h>

#include <sstream>

namespace harvelo {
namespace {

TEST(JsonWriterTest, GivenNestedValuesWeShouldPlaceCommasAndColons) {
  std::ostringstream out;
  JsonWriter json(out);
  json.BeginObject();
  json.Key(u"a");
  json.BeginArray();
  json.BeginArray();
  json.String(u"x");
  json.String(u"y");
  json.EndArray();
  json.BeginArray();
  json.EndArray();
  json.EndArray();
  json.Key(u"n");
  json.Number(-3);
  json.EndObject();
  EXPECT_EQ(out.str(), R"({"a":[["x","y"],[]],"n":-3})");
}

TEST(JsonWriterTest, GivenTextsWeShouldEscapeWhatJsonRequiresAndWriteUtf8) {
  const std::pair<Text, std::string> cases[] = {
      {u"plain", R"("plain")"},
      {u"say \"hi\"", R"("say \"hi\"")"},
      {u"back\\slash", R"("back\\slash")"},
      {u"line\r\nbreak\ttab", R"("line\r\nbreak\ttab")"},
      {Text(u"nul\0bell\a", 9), R"("nul\u0000bell\u0007")"},
      {u"caf\u00e9 \u6f22 </a>", "\"caf\xc3\xa9 \xe6\xbc\xa2 </a>\""},
  };
  for (const auto& [text, expected] : cases) {
    std::ostringstream out;
    JsonWriter(out).String(text);
    EXPECT_EQ(out.str(), expected);
  }
}

}  // namespace
}  // namespace harvelo
