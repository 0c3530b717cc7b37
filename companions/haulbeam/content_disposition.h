#ifndef HARVELO_COMPANIONS_HAULBEAM_CONTENT_DISPOSITION_H_
#define HARVELO_COMPANIONS_HAULBEAM_CONTENT_DISPOSITION_H_

// A server may name the file it sends: "Content-Disposition: attachment; filename=...".

#include <QByteArray>
#include <QString>

namespace haulbeam {

// The file name that the value of a Content-Disposition header offers, not yet made safe:
// "filename*" (RFC 5987: UTF-8 or ISO-8859-1, percent-encoded) before "filename" (a token
// or a quoted string, read as UTF-8 when it is valid UTF-8, else as ISO-8859-1). The empty
// text when it offers none.
QString FileNameFromContentDisposition(const QByteArray& header);

}  // namespace haulbeam

#endif  // HARVELO_COMPANIONS_HAULBEAM_CONTENT_DISPOSITION_H_
