#include "content_disposition.h"

#include <QStringDecoder>
#include <optional>

namespace haulbeam {
namespace {

// Reads the parameters "; name=value" of a header value one after another; values may be
// quoted strings with backslash escapes.
class ParameterReader {
 public:
  explicit ParameterReader(const QByteArray& header) : text_(header) {
    at_ = text_.indexOf(';');  // past the disposition type
    if (at_ < 0) at_ = text_.size();
  }

  // The next parameter's lower-cased name and its value; false at the end.
  bool Next(QByteArray& name, QByteArray& value) {
    while (at_ < text_.size() && (text_[at_] == ';' || text_[at_] == ' ' || text_[at_] == '\t')) {
      ++at_;
    }
    if (at_ >= text_.size()) return false;
    qsizetype end = at_;
    while (end < text_.size() && text_[end] != '=' && text_[end] != ';') ++end;
    name = text_.mid(at_, end - at_).trimmed().toLower();
    at_ = end;
    value.clear();
    if (at_ < text_.size() && text_[at_] == '=') {
      ++at_;
      while (at_ < text_.size() && text_[at_] == ' ') ++at_;
      if (at_ < text_.size() && text_[at_] == '"') {
        ReadQuoted(value);
      } else {
        end = text_.indexOf(';', at_);
        if (end < 0) end = text_.size();
        value = text_.mid(at_, end - at_).trimmed();
        at_ = end;
      }
    }
    return true;
  }

 private:
  void ReadQuoted(QByteArray& value) {
    for (++at_; at_ < text_.size() && text_[at_] != '"'; ++at_) {
      if (text_[at_] == '\\' && at_ + 1 < text_.size()) ++at_;
      value += text_[at_];
    }
    ++at_;
  }

  const QByteArray& text_;
  qsizetype at_ = 0;
};

// RFC 5987: charset'language'percent-encoded bytes.
std::optional<QString> ExtendedValue(const QByteArray& value) {
  const qsizetype first = value.indexOf('\'');
  const qsizetype second = first < 0 ? -1 : value.indexOf('\'', first + 1);
  if (second < 0) return std::nullopt;
  const QByteArray charset = value.left(first).toLower();
  const QByteArray bytes = QByteArray::fromPercentEncoding(value.mid(second + 1));
  if (charset == "utf-8") return QString::fromUtf8(bytes);
  if (charset == "iso-8859-1") return QString::fromLatin1(bytes);
  return std::nullopt;
}

QString PlainValue(const QByteArray& value) {
  QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString decoded = utf8(value);
  return utf8.hasError() ? QString::fromLatin1(value) : decoded;
}

}  // namespace

QString FileNameFromContentDisposition(const QByteArray& header) {
  ParameterReader reader(header);
  QByteArray name;
  QByteArray value;
  QString plain;
  while (reader.Next(name, value)) {
    if (name == "filename*") {
      if (const std::optional<QString> extended = ExtendedValue(value)) return *extended;
    } else if (name == "filename" && plain.isEmpty()) {
      plain = PlainValue(value);
    }
  }
  return plain;
}

}  // namespace haulbeam
