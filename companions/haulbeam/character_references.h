#ifndef HARVELO_COMPANIONS_HAULBEAM_CHARACTER_REFERENCES_H_
#define HARVELO_COMPANIONS_HAULBEAM_CHARACTER_REFERENCES_H_

// Addresses arrive as the page's markup wrote them, "&amp;" where the link meant "&": they
// are decoded before use.

#include <QString>

namespace haulbeam {

// `text` with HTML character references replaced by their characters: the named ones of
// HTML 4 up to U+00FF (amp, lt, gt, quot, apos, nbsp, eacute, ...) and numeric ones in
// decimal (&#38;) and hexadecimal (&#x26;), each ended by ";". A reference that is unknown,
// unterminated or names no character (0, a surrogate, beyond U+10FFFF) stays as written.
QString DecodeCharacterReferences(const QString& text);

}  // namespace haulbeam

#endif  // HARVELO_COMPANIONS_HAULBEAM_CHARACTER_REFERENCES_H_
