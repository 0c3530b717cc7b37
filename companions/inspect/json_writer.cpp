#include "json_writer.h"

#include <cstdio>

namespace harvelo {

void JsonWriter::Separate() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (!filled_.empty()) {
    if (filled_.back()) out_ << ',';
    filled_.back() = true;
  }
}

void JsonWriter::Open(char bracket) {
  Separate();
  out_ << bracket;
  filled_.push_back(false);
}

void JsonWriter::Close(char bracket) {
  filled_.pop_back();
  out_ << bracket;
}

void JsonWriter::Key(TextView name) {
  Separate();
  Quoted(name);
  out_ << ':';
  after_key_ = true;
}

void JsonWriter::String(TextView text) {
  Separate();
  Quoted(text);
}

void JsonWriter::Number(std::int64_t number) {
  Separate();
  out_ << number;
}

void JsonWriter::Bool(bool value) {
  Separate();
  out_ << (value ? "true" : "false");
}

void JsonWriter::Quoted(TextView text) {
  out_ << '"';
  std::size_t start = 0;
  const auto flush = [&](std::size_t end) {
    if (end > start) out_ << ToUtf8(text.substr(start, end - start));
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c != u'"' && c != u'\\' && c >= 0x20) continue;
    flush(i);
    start = i + 1;
    switch (c) {
      case u'"':
        out_ << "\\\"";
        break;
      case u'\\':
        out_ << "\\\\";
        break;
      case u'\n':
        out_ << "\\n";
        break;
      case u'\r':
        out_ << "\\r";
        break;
      case u'\t':
        out_ << "\\t";
        break;
      default: {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
        out_ << escaped;
      }
    }
  }
  flush(text.size());
  out_ << '"';
}

}  // namespace harvelo
