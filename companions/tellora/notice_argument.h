#ifndef HARVELO_COMPANIONS_TELLORA_NOTICE_ARGUMENT_H_
#define HARVELO_COMPANIONS_TELLORA_NOTICE_ARGUMENT_H_

// The single argument with which Harvelo starts the notice program:
//
//   <wHWND>123</wHWND><FormName>frmRobotExclude</FormName><URL>A</URL>
//   <ProgType>DL</ProgType><LoadingURL>A</LoadingURL>
//
// (one line). The addresses are put in as the browser gave them, without any escaping, so
// each field runs to the first closing tag that is followed by the next field's opening
// tag, and the last one to the closing tag that ends the text.

#include <cstdint>
#include <string>
#include <string_view>

namespace harvelo::tellora {

struct NoticeArgument {
  std::uint32_t window = 0;  // the browser window the notice belongs to; 0 for none
  std::string form_name;
  std::string url;
  std::string program_type;
  std::string loading_url;
};

struct ParsedArgument {
  NoticeArgument argument;
  std::string error;  // empty when the text was read; else what is wrong with it
};

ParsedArgument ParseNoticeArgument(std::string_view text);

}  // namespace harvelo::tellora

#endif  // HARVELO_COMPANIONS_TELLORA_NOTICE_ARGUMENT_H_
