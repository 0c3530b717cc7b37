#include "job_message.h"

#include <array>

#include "character_references.h"

namespace haulbeam {

using namespace Qt::Literals::StringLiterals;

std::optional<Job> ParseJobMessage(const QString& message, QString& problem) {
  static const std::array<QString, 5> kTags = {u"DataURL"_s, u"DataPath"_s, u"DataOrgin"_s,
                                               u"DataGroup"_s, u"DataOrder"_s};
  std::array<QString, 5> values;
  qsizetype at = 0;
  for (std::size_t i = 0; i < kTags.size(); ++i) {
    const QString opening = u"<"_s + kTags[i] + u'>';
    const QString closing = u"</"_s + kTags[i] + u'>';
    if (!QStringView(message).mid(at).startsWith(opening)) {
      problem = u"expected "_s + opening + u" at character "_s + QString::number(at + 1);
      return std::nullopt;
    }
    at += opening.size();
    const qsizetype end = message.indexOf(closing, at);
    if (end < 0) {
      problem = u"no "_s + closing;
      return std::nullopt;
    }
    values[i] = message.mid(at, end - at);
    at = end + closing.size();
  }
  if (at != message.size()) {
    problem = u"text after </DataOrder>"_s;
  } else if (values[0].isEmpty()) {
    problem = u"no address"_s;
  } else if (!values[1].startsWith(u'/')) {
    problem = u"the folder is not an absolute path: "_s + values[1];
  } else {
    const QString folder = values[1].endsWith(u'/') ? values[1] : values[1] + u'/';
    return Job{QUrl(DecodeCharacterReferences(values[0])), folder,
               DecodeCharacterReferences(values[2]), values[3], values[4]};
  }
  return std::nullopt;
}

}  // namespace haulbeam
