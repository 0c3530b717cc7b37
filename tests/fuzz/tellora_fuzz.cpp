// The notice program's argument reader on any text: it never fails, and a text it reads
// is one whose fields, put back in their tags, read again as the same fields.

#include <string>

#include "fuzz_input.h"
#include "notice_argument.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace harvelo::tellora;
  using harvelo::fuzz::Require;
  const ParsedArgument parsed = ParseNoticeArgument(harvelo::fuzz::Bytes(data, size));
  if (!parsed.error.empty()) return 0;
  const NoticeArgument& a = parsed.argument;
  const std::string again = "<wHWND>" + std::to_string(a.window) + "</wHWND><FormName>" +
                            a.form_name + "</FormName><URL>" + a.url + "</URL><ProgType>" +
                            a.program_type + "</ProgType><LoadingURL>" + a.loading_url +
                            "</LoadingURL>";
  const ParsedArgument reparsed = ParseNoticeArgument(again);
  Require(reparsed.error.empty(), "fields put back in their tags read again");
  const NoticeArgument& b = reparsed.argument;
  Require(b.window == a.window && b.form_name == a.form_name && b.url == a.url &&
              b.program_type == a.program_type && b.loading_url == a.loading_url,
          "fields put back in their tags read as the same fields");
  return 0;
}
