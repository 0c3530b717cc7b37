#include "platform/linux/qt_core/url_combiner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace harvelo {
namespace {

// Every shape of link is checked against Chromium itself (url_combiner_chromium_test.cpp);
// here, what is the service's own: the bound of its answer.
std::string Combine(const std::string& base, const std::string& relative) {
  const auto urls = NewUrlCombiner();
  std::vector<char> buffer(256);
  std::uint32_t length = 256;
  if (!urls->InternetCombineUrlA(base, relative, buffer.data(), &length, ICU_BROWSER_MODE)) {
    return std::string();
  }
  return std::string(buffer.data(), length);
}

TEST(UrlCombinerTest, GivenAResultThatFillsTheBufferWeShouldFail) {
  const std::string base = "http://h/";  // 9 characters
  EXPECT_EQ(Combine(base, std::string(246, 'x')).size(), 255u);
  EXPECT_EQ(Combine(base, std::string(247, 'x')), "");
  EXPECT_EQ(Combine(base, "a b"), "http://h/a%20b");
}

}  // namespace
}  // namespace harvelo
