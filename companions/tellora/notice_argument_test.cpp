#include "notice_argument.h"

#include <gtest/gtest.h>

namespace harvelo::tellora {
namespace {

std::string Argument(const std::string& window, const std::string& url) {
  return "<wHWND>" + window + "</wHWND><FormName>frmRobotExclude</FormName><URL>" + url +
         "</URL><ProgType>DL</ProgType><LoadingURL>" + url + "</LoadingURL>";
}

TEST(NoticeArgumentTest, GivenHarvelosArgumentWeShouldReadEveryFieldAsWritten) {
  // Addresses come unescaped: tags, quotes and blanks inside them stay part of them.
  for (const std::string url :
       {"http://h/a.html?q=1&r=\"x\"", "", "http://h/<URL>x</URL> y", "http://h/é</LoadingURL>"}) {
    SCOPED_TRACE(url);
    const ParsedArgument parsed = ParseNoticeArgument(Argument("4194311", url));
    ASSERT_EQ(parsed.error, "");
    EXPECT_EQ(parsed.argument.window, 4194311u);
    EXPECT_EQ(parsed.argument.form_name, "frmRobotExclude");
    EXPECT_EQ(parsed.argument.url, url);
    EXPECT_EQ(parsed.argument.program_type, "DL");
    EXPECT_EQ(parsed.argument.loading_url, url);
  }
}

TEST(NoticeArgumentTest, GivenAMalformedArgumentWeShouldSayWhatIsWrong) {
  const std::string kNot32Bits = "\" is not a number of 32 bits";
  const std::pair<std::string, std::string> kCases[] = {
      {"", "expected <wHWND>"},
      {"http://h/page.html", "expected <wHWND>"},
      {Argument("12", "http://h/").substr(0, 40), "no </FormName> before <URL>"},
      {Argument("12", "http://h/") + " ", "no </LoadingURL> at the end"},
      {Argument("", "http://h/"), "the window handle \"" + kNot32Bits},
      {Argument("-5", "http://h/"), "the window handle \"-5" + kNot32Bits},
      {Argument("0x1f", "http://h/"), "the window handle \"0x1f" + kNot32Bits},
      {Argument("4294967296", "http://h/"), "the window handle \"4294967296" + kNot32Bits},
  };
  for (const auto& [text, error] : kCases)
    EXPECT_EQ(ParseNoticeArgument(text).error, error) << text;
}

}  // namespace
}  // namespace harvelo::tellora
