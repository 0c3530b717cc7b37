#include "platform/linux/qt_core/url_combiner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace harvelo {
namespace {

struct Case {
  std::string base;
  std::string relative;
  std::string expected;  // empty: the combination fails
};

std::string Combine(const std::string& base, const std::string& relative,
                    std::uint32_t size = 256) {
  const auto urls = NewUrlCombiner();
  std::vector<char> buffer(size);
  std::uint32_t length = size;
  if (!urls->InternetCombineUrlA(base, relative, buffer.data(), &length, ICU_BROWSER_MODE)) {
    return std::string();
  }
  return std::string(buffer.data(), length);
}

const std::string kRfcBase = "http://a/b/c/d;p?q";

// RFC 3986 section 5.4.1, every normal example.
const std::vector<Case> kNormal = {
    {kRfcBase, "g:h", "g:h"},
    {kRfcBase, "g", "http://a/b/c/g"},
    {kRfcBase, "./g", "http://a/b/c/g"},
    {kRfcBase, "g/", "http://a/b/c/g/"},
    // "http://g/": the browser's form of "http://g", equal to it by RFC 3986 6.2.3.
    {kRfcBase, "/g", "http://a/g"},
    {kRfcBase, "//g", "http://g/"},
    {kRfcBase, "?y", "http://a/b/c/d;p?y"},
    {kRfcBase, "g?y", "http://a/b/c/g?y"},
    {kRfcBase, "#s", "http://a/b/c/d;p?q#s"},
    {kRfcBase, "g#s", "http://a/b/c/g#s"},
    {kRfcBase, "g?y#s", "http://a/b/c/g?y#s"},
    {kRfcBase, ";x", "http://a/b/c/;x"},
    {kRfcBase, "g;x", "http://a/b/c/g;x"},
    {kRfcBase, "g;x?y#s", "http://a/b/c/g;x?y#s"},
    {kRfcBase, "", "http://a/b/c/d;p?q"},
    {kRfcBase, ".", "http://a/b/c/"},
    {kRfcBase, "./", "http://a/b/c/"},
    {kRfcBase, "..", "http://a/b/"},
    {kRfcBase, "../", "http://a/b/"},
    {kRfcBase, "../g", "http://a/b/g"},
    {kRfcBase, "../..", "http://a/"},
    {kRfcBase, "../../", "http://a/"},
    {kRfcBase, "../../g", "http://a/g"},
};

// RFC 3986 section 5.4.2, every abnormal example; "http:g" takes the browser's reading.
const std::vector<Case> kAbnormal = {
    {kRfcBase, "../../../g", "http://a/g"},
    {kRfcBase, "../../../../g", "http://a/g"},
    {kRfcBase, "/./g", "http://a/g"},
    {kRfcBase, "/../g", "http://a/g"},
    {kRfcBase, "g.", "http://a/b/c/g."},
    {kRfcBase, ".g", "http://a/b/c/.g"},
    {kRfcBase, "g..", "http://a/b/c/g.."},
    {kRfcBase, "..g", "http://a/b/c/..g"},
    {kRfcBase, "./../g", "http://a/b/g"},
    {kRfcBase, "./g/.", "http://a/b/c/g/"},
    {kRfcBase, "g/./h", "http://a/b/c/g/h"},
    {kRfcBase, "g/../h", "http://a/b/c/h"},
    {kRfcBase, "g;x=1/./y", "http://a/b/c/g;x=1/y"},
    {kRfcBase, "g;x=1/../y", "http://a/b/c/y"},
    {kRfcBase, "g?y/./x", "http://a/b/c/g?y/./x"},
    {kRfcBase, "g?y/../x", "http://a/b/c/g?y/../x"},
    {kRfcBase, "g#s/./x", "http://a/b/c/g#s/./x"},
    {kRfcBase, "g#s/../x", "http://a/b/c/g#s/../x"},
    {kRfcBase, "http:g", "http://a/b/c/g"},
};

// What real pages carry.
const std::vector<Case> kLenient = {
    {"http://host/dir/page.htm", "my pic.jpg", "http://host/dir/my%20pic.jpg"},
    {"http://host/dir/page.htm", "caf\xc3\xa9.jpg", "http://host/dir/caf%C3%A9.jpg"},
    {"http://host/dir/page.htm", "..\\img\\a.jpg", "http://host/img/a.jpg"},
    {"http://host/dir/page.htm", "media/clips/x\\sub.mov", "http://host/dir/media/clips/x/sub.mov"},
    {"http://host/dir/page.htm", "a.jpg?x=\\y#\\", "http://host/dir/a.jpg?x=\\y#\\"},
    {"http://host/dir/page.htm", "##share-market", "http://host/dir/page.htm##share-market"},
    {"http://host/dir/page.htm", "x?'`{}#'`{}", "http://host/dir/x?%27`{}#'%60{}"},
    {"http://host/dir/page.htm", "%7e%zz%41", "http://host/dir/%7e%zz%41"},
    {"https://host/dir/page.htm", "http:img/movie.html", "http://img/movie.html"},
    {"http://host/dir/page.htm", "http:img/movie.html", "http://host/dir/img/movie.html"},
    {"http://host/dir/page.htm", "file:img", "file:///img"},
    {"mailto:me@host", "x.jpg", ""},
    {"HTTP://HOST/dir/", "a.jpg", "http://host/dir/a.jpg"},
    {"http://host:80/dir/", "a.jpg", "http://host/dir/a.jpg"},
    {"http://host:8080/dir/", "a.jpg", "http://host:8080/dir/a.jpg"},
    {"http://host/dir/page.htm", "  a.jpg\t", "http://host/dir/a.jpg"},
    {"http://host/dir/page.htm", "a\n.jpg", "http://host/dir/a.jpg"},
    {"http://host/dir/page.htm#top", "#s", "http://host/dir/page.htm#s"},
    {"http://host/dir/page.htm", "https://Other.Host/x.jpg", "https://other.host/x.jpg"},
    {"http://host/dir/page.htm", "javascript:go()", "javascript:go()"},
    {"page.htm", "a.jpg", ""},
};

TEST(UrlCombinerTest, GivenTheRfc3986ExamplesAndWhatRealPagesCarryWeShouldAnswerAsABrowserDoes) {
  for (const auto* table : {&kNormal, &kAbnormal, &kLenient}) {
    for (const Case& c : *table) EXPECT_EQ(Combine(c.base, c.relative), c.expected) << c.relative;
  }
}

TEST(UrlCombinerTest, GivenAResultThatFillsTheBufferWeShouldFail) {
  const std::string base = "http://h/";  // 9 characters
  EXPECT_EQ(Combine(base, std::string(246, 'x')).size(), 255u);
  EXPECT_EQ(Combine(base, std::string(247, 'x')), "");
}

}  // namespace
}  // namespace harvelo
