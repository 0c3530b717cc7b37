#include "file_naming.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <algorithm>

namespace haulbeam {
namespace {

using namespace Qt::Literals::StringLiterals;

// An extension longer than this is part of the name, not a type.
constexpr qsizetype kLongestExtension = 16;

// Where the extension of `name` begins (at its dot), or the name's size when it has none.
qsizetype ExtensionStart(const QString& name) {
  const qsizetype dot = name.lastIndexOf(u'.');
  return dot > 0 && name.size() - dot <= kLongestExtension ? dot : name.size();
}

bool Unwanted(char32_t c) {
  const QChar::Category category = QChar::category(c);
  return category == QChar::Other_Control || category == QChar::Other_Format;
}

QString WithoutUnwanted(const QString& text) {
  QString kept;
  for (const char32_t c : text.toUcs4()) {
    if (!Unwanted(c)) kept += QString::fromUcs4(&c, 1);
  }
  return kept;
}

// The longest start of `stem`, in whole characters, with which `stem` + `tail` fits
// kLongestName bytes. One cut, however long the stem: `stem` holds no lone surrogate.
QString Shortened(const QString& stem, const QString& tail) {
  QByteArray bytes = stem.toUtf8();
  qsizetype cut = std::max<qsizetype>(kLongestName - tail.toUtf8().size(), 0);
  if (cut >= bytes.size()) return stem + tail;
  while (cut > 0 && (static_cast<unsigned char>(bytes[cut]) & 0xC0) == 0x80) --cut;
  bytes.truncate(cut);
  return QString::fromUtf8(bytes) + tail;
}

}  // namespace

QString SafeFileName(const QString& candidate) {
  const qsizetype separator = std::max(candidate.lastIndexOf(u'/'), candidate.lastIndexOf(u'\\'));
  QString name = WithoutUnwanted(candidate.mid(separator + 1)).trimmed();
  qsizetype lead = 0;
  while (lead < name.size() && (name[lead] == u'.' || name[lead].isSpace())) ++lead;
  name.remove(0, lead);
  if (name.toUtf8().size() > kLongestName) {
    const qsizetype extension = ExtensionStart(name);
    name = Shortened(name.left(extension), name.mid(extension));
  }
  return name.isEmpty() ? u"download"_s : name;
}

QString LastPathSegment(const QUrl& url) {
  const QByteArray path = url.path(QUrl::FullyEncoded).toLatin1();
  return QString::fromUtf8(QByteArray::fromPercentEncoding(path.mid(path.lastIndexOf('/') + 1)));
}

QString NumberedName(const QString& name, int n) {
  const qsizetype extension = ExtensionStart(name);
  return name.left(extension) + u" ("_s + QString::number(n) + u')' + name.mid(extension);
}

QString PartFileName(const QUrl& url) {
  const QByteArray hash = QCryptographicHash::hash(url.toEncoded(), QCryptographicHash::Sha1);
  return SafeFileName(LastPathSegment(url)) + u'.' + QString::fromLatin1(hash.toHex().left(12)) +
         u".part"_s;
}

}  // namespace haulbeam
