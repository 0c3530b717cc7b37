#include "file_naming.h"

#include <gtest/gtest.h>

#include "content_disposition.h"

namespace haulbeam {
namespace {

using namespace Qt::Literals::StringLiterals;

// The name a file gets from the address alone, and from a Content-Disposition header.
QString FromUrl(const QString& url) { return SafeFileName(LastPathSegment(QUrl(url))); }
QString FromHeader(const QByteArray& header) {
  return SafeFileName(FileNameFromContentDisposition(header));
}

TEST(FileNamingTest, GivenHostileNamesWeShouldKeepEveryFileInsideItsFolder) {
  const QString emoji = u"\U0001F600"_s;  // four bytes, two UTF-16 units
  const std::pair<QString, QString> kCases[] = {
      {SafeFileName(u"photo 1.jpg"_s), u"photo 1.jpg"_s},
      {SafeFileName(u"../x"_s), u"x"_s},
      {SafeFileName(u"/etc/passwd"_s), u"passwd"_s},
      {SafeFileName(u".."_s), u"download"_s},
      {SafeFileName(u"."_s), u"download"_s},
      {SafeFileName(u".hidden"_s), u"hidden"_s},
      {SafeFileName(u" . .x.jpg "_s), u"x.jpg"_s},
      {SafeFileName(u"a\\b"_s), u"b"_s},
      {SafeFileName(u"..\\..\\evil.exe"_s), u"evil.exe"_s},
      {SafeFileName(u"a\u0001b\tc\u007F\u0085.jpg"_s), u"abc.jpg"_s},
      {SafeFileName(u"invoice\u202Egpj.exe"_s), u"invoicegpj.exe"_s},  // no right-to-left disguise
      {SafeFileName(QString()), u"download"_s},
      {SafeFileName(u"/"_s), u"download"_s},
      // At most 200 bytes of UTF-8, the extension kept, never half a character.
      {SafeFileName(QString(300, u'a') + u".jpeg"_s), QString(195, u'a') + u".jpeg"_s},
      {SafeFileName(QString(150, u'\u00E9') + u".jpg"_s), QString(98, u'\u00E9') + u".jpg"_s},
      {SafeFileName(QString(300, u'b')), QString(200, u'b')},
      {SafeFileName(u"x"_s + emoji.repeated(100)), u"x"_s + emoji.repeated(49)},
      {FromUrl(u"http://h/a/b/photo.jpg?size=big#top"_s), u"photo.jpg"_s},
      {FromUrl(u"http://h/a/%C3%A9t%C3%A9%20x.jpg"_s), u"\u00E9t\u00E9 x.jpg"_s},
      {FromUrl(u"http://h/a/%2e%2e%2f"_s), u"download"_s},
      {FromUrl(u"http://h/a/%2e%2e%2fetc%2fpasswd"_s), u"passwd"_s},
      {FromUrl(u"http://h/%E9.jpg"_s), u"\uFFFD.jpg"_s},
      {FromUrl(u"http://h/"_s), u"download"_s},
      {FromHeader("attachment; filename=\"../../x.jpg\""), u"x.jpg"_s},
      {FromHeader("attachment; filename=/etc/passwd"), u"passwd"_s},
      {FromHeader("attachment; filename*=UTF-8''%C3%A9%2F..%2Fa.jpg; filename=\"e.jpg\""),
       u"a.jpg"_s},
      {FromHeader("attachment; filename=\"e.jpg\"; filename*=utf-8'en'%C3%A9.jpg"),
       u"\u00E9.jpg"_s},
      {FromHeader("inline; filename*=ISO-8859-1''%E9t%E9.jpg"), u"\u00E9t\u00E9.jpg"_s},
      {FromHeader("attachment; filename*=koi8-r''x.jpg; filename=plain.jpg"), u"plain.jpg"_s},
      {FromHeader("attachment; filename=\"say \\\"hi\\\"; now.jpg\""), u"say \"hi\"; now.jpg"_s},
      {FromHeader("attachment; filename=\"\xC3\xA9.jpg\""), u"\u00E9.jpg"_s},
      {FromHeader("attachment; filename=\"\xE9.jpg\""), u"\u00E9.jpg"_s},
      {FromHeader("attachment"), u"download"_s},
      {NumberedName(u"a.jpg"_s, 2), u"a (2).jpg"_s},
      {NumberedName(u"archive.tar.gz"_s, 3), u"archive.tar (3).gz"_s},
      {NumberedName(u"README"_s, 2), u"README (2)"_s},
  };
  for (const auto& [name, expected] : kCases) EXPECT_EQ(name, expected);
}

TEST(FileNamingTest, GivenTwoAddressesOfOneNameWeShouldGiveThemPartFilesOfTheirOwn) {
  const QString first = PartFileName(QUrl(u"http://one.example/a.jpg"_s));
  EXPECT_TRUE(first.startsWith(u"a.jpg."_s) && first.endsWith(u".part"_s)) << first.toStdString();
  EXPECT_EQ(first, PartFileName(QUrl(u"http://one.example/a.jpg"_s)));
  EXPECT_NE(first, PartFileName(QUrl(u"http://two.example/a.jpg"_s)));
}

}  // namespace
}  // namespace haulbeam
