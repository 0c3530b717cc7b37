#ifndef HARVELO_COMPANIONS_HAULBEAM_FILE_NAMING_H_
#define HARVELO_COMPANIONS_HAULBEAM_FILE_NAMING_H_

// Names for downloaded files. A name comes from the server or the address, so it is
// untrusted: whatever it says, the file lands inside the job's folder.

#include <QString>
#include <QUrl>

namespace haulbeam {

// The most UTF-8 bytes of a name, well below the 255 of Linux file systems, leaving room
// for " (n)" and for the part file's suffix.
inline constexpr qsizetype kLongestName = 200;

// `candidate` made a plain file name: only what follows its last "/" or "\", without
// control or format characters (a right-to-left mark can disguise an extension), without
// leading dots and blanks (no hidden file, never "." or ".."), at most kLongestName bytes
// with its extension kept, and "download" when nothing is left.
QString SafeFileName(const QString& candidate);

// The last segment of `url`'s path, percent-decoded as UTF-8 (with U+FFFD for bytes that
// are not), or the empty text. Not yet safe.
QString LastPathSegment(const QUrl& url);

// `name` with " (n)" before its extension: "a.jpg", 2 gives "a (2).jpg".
QString NumberedName(const QString& name, int n);

// The file that holds `url` while it downloads, in the job's folder: the address's safe
// name, a dot, 12 hexadecimal digits of the address's SHA-1 and ".part". So a part file
// always belongs to one address: a later job for the same address resumes it, and a job
// for another address with the same name never touches it.
QString PartFileName(const QUrl& url);

}  // namespace haulbeam

#endif  // HARVELO_COMPANIONS_HAULBEAM_FILE_NAMING_H_
