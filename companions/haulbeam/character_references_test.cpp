#include "character_references.h"

#include <gtest/gtest.h>

namespace haulbeam {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(CharacterReferencesTest, GivenMarkupTextWeShouldDecodeKnownReferencesAndKeepTheRest) {
  const struct {
    QString text;
    QString decoded;
  } kCases[] = {
      {u"http://h/a?x=1&amp;y=2&amp;z=3"_s, u"http://h/a?x=1&y=2&z=3"_s},
      {u"&lt;&gt;&quot;&apos;&nbsp;"_s, u"<>\"'\u00A0"_s},
      {u"caf&eacute;&Eacute;&yuml;&copy;"_s, u"caf\u00E9\u00C9\u00FF\u00A9"_s},
      {u"&#38;&#x26;&#X26;&#233;&#x1F600;"_s, u"&&&\u00E9\U0001F600"_s},
      {u"&amp;amp;"_s, u"&amp;"_s},  // one pass only
      {u"a&b=c; &unknown; &AMP; &amp &#; &#x; &#12a; &#0; &#xD800; &#x110000;"_s,
       u"a&b=c; &unknown; &AMP; &amp &#; &#x; &#12a; &#0; &#xD800; &#x110000;"_s},
      {u"&&amp;&"_s, u"&&&"_s},
      {u"&averyveryverylongname;"_s, u"&averyveryverylongname;"_s},
      // A name of ten characters is the longest read; the ";" of one of eleven is not looked for.
      {u"&#000001234;&#0000001234;"_s, u"\u04D2&#0000001234;"_s},
      {QString(), QString()},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(DecodeCharacterReferences(c.text), c.decoded) << c.text.toStdString();
  }
}

}  // namespace
}  // namespace haulbeam
