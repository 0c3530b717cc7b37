#include "notice_argument.h"

#include <charconv>

namespace harvelo::tellora {
namespace {

// Walks the argument from the front, field by field.
class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : rest_(text) {}

  // The value of field `name`, which must come next and end where `then` begins ("" for
  // the end of the text). Sets `error` and answers nothing when it does not.
  bool Read(std::string_view name, std::string_view then, std::string& value, std::string& error) {
    const std::string open = "<" + std::string(name) + ">";
    const std::string close = "</" + std::string(name) + ">" + std::string(then);
    if (!rest_.starts_with(open)) {
      error = "expected " + open;
      return false;
    }
    rest_.remove_prefix(open.size());
    const std::size_t end = then.empty() ? (rest_.ends_with(close) ? rest_.size() - close.size()
                                                                   : std::string_view::npos)
                                         : rest_.find(close);
    if (end == std::string_view::npos) {
      error = "no </" + std::string(name) + ">" +
              (then.empty() ? " at the end" : " before " + std::string(then));
      return false;
    }
    value = rest_.substr(0, end);
    rest_.remove_prefix(end + close.size() - then.size());
    return true;
  }

 private:
  std::string_view rest_;
};

}  // namespace

ParsedArgument ParseNoticeArgument(std::string_view text) {
  ParsedArgument parsed;
  NoticeArgument& a = parsed.argument;
  std::string window;
  FieldReader reader(text);
  if (!reader.Read("wHWND", "<FormName>", window, parsed.error) ||
      !reader.Read("FormName", "<URL>", a.form_name, parsed.error) ||
      !reader.Read("URL", "<ProgType>", a.url, parsed.error) ||
      !reader.Read("ProgType", "<LoadingURL>", a.program_type, parsed.error) ||
      !reader.Read("LoadingURL", "", a.loading_url, parsed.error)) {
    return parsed;
  }
  const char* const end = window.data() + window.size();
  const auto [stop, result] = std::from_chars(window.data(), end, a.window);
  if (window.empty() || result != std::errc() || stop != end) {
    parsed.error = "the window handle \"" + window + "\" is not a number of 32 bits";
  }
  return parsed;
}

}  // namespace harvelo::tellora
