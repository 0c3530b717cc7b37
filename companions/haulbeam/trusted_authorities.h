#ifndef HARVELO_COMPANIONS_HAULBEAM_TRUSTED_AUTHORITIES_H_
#define HARVELO_COMPANIONS_HAULBEAM_TRUSTED_AUTHORITIES_H_

// Certificate authorities trusted besides the system's, for servers whose certificates a
// private authority signed (a company's, a test's). Adding authorities turns no check off:
// names, dates and chains are verified as for any server.

#include <QString>

namespace haulbeam {

// The environment variable that names a PEM file of such authorities.
inline constexpr char kAuthoritiesVariable[] = "HAULBEAM_CA_FILE";

// Makes every later TLS connection of the process trust the system's authorities and those
// in the PEM file `path`. False, with `problem` saying why and nothing changed, when the
// file holds no certificate that can be read.
bool TrustAuthoritiesFrom(const QString& path, QString& problem);

}  // namespace haulbeam

#endif  // HARVELO_COMPANIONS_HAULBEAM_TRUSTED_AUTHORITIES_H_
