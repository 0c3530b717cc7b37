#include "finished_line.h"

#include <QStringList>

namespace haulbeam {
namespace {

using namespace Qt::Literals::StringLiterals;

QString Field(QString text) {
  return text.replace(u'\\', u"\\\\"_s)
      .replace(u'\t', u"\\t"_s)
      .replace(u'\n', u"\\n"_s)
      .replace(u'\r', u"\\r"_s);
}

}  // namespace

QString FinishedLine(const JobStatus& status) {
  const bool saved = status.state == JobStatus::State::kSaved;
  const QStringList fields = {saved ? u"saved"_s : u"failed"_s, Field(status.job.group),
                              Field(status.job.order), Field(status.result),
                              Field(status.job.url.toString(QUrl::FullyEncoded))};
  return fields.join(u'\t') + u'\n';
}

}  // namespace haulbeam
