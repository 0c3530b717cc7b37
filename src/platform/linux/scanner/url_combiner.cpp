#include "platform/linux/scanner/url_combiner.h"

#include <QString>
#include <QUrl>
#include <cstring>

namespace harvelo {

namespace {

// QUrl::resolved does RFC 3986 5.2 (merge, then remove_dot_segments, which never climbs
// above the host: "../../../g" against "http://a/b/c/d;p?q" is "http://a/g"). Around it,
// so that the result is the address the browser itself would make of a page's link:
//  - leading and trailing blanks and control characters are dropped, and tabs and line
//    breaks inside are removed;
//  - in http and https references a backslash before the query reads as a slash;
//  - "http:g" against an http base is the relative "g" (the browser's reading; the strict
//    reading would keep "http:g");
//  - spaces and non-ASCII characters are percent-encoded as UTF-8, the host is written in
//    ASCII (punycode), and scheme and host are lower-cased;
//  - in http and https addresses the default port is dropped and an empty path is "/"
//    (so "//g" gives "http://g/", which RFC 3986 6.2.3 holds equal to "http://g");
//  - an empty reference gives the base without its fragment; "#s" gives the base with
//    that fragment;
//  - a base without a scheme, or a result that is not a valid absolute address, fails.
class UrlCombiner : public UrlService {
 public:
  bool InternetCombineUrlA(const std::string& base, const std::string& relative, char* buffer,
                           std::uint32_t* length, std::uint32_t /*flags*/) override {
    const QUrl base_url(Clean(QString::fromUtf8(base)), QUrl::TolerantMode);
    if (!base_url.isValid() || base_url.scheme().isEmpty()) return false;
    const QString scheme = base_url.scheme();
    const bool special = scheme == u"http" || scheme == u"https";
    QString reference = Clean(QString::fromUtf8(relative));
    if (special) {
      const qsizetype end = FirstOf(reference, u"?#");
      for (qsizetype i = 0; i < end; ++i) {
        if (reference[i] == u'\\') reference[i] = u'/';
      }
      const QString own_scheme = scheme + u':';
      if (reference.startsWith(own_scheme, Qt::CaseInsensitive) &&
          !reference.mid(own_scheme.size()).startsWith(u"//")) {
        reference = reference.mid(own_scheme.size());
      }
    }
    const QUrl reference_url(reference, QUrl::TolerantMode);
    if (!reference.isEmpty() && !reference_url.isValid()) return false;
    QUrl combined = base_url.resolved(reference_url);
    if (!combined.isValid() || combined.scheme().isEmpty()) return false;
    if (combined.scheme() == u"http" || combined.scheme() == u"https") {
      // Normalised by scheme (RFC 3986 6.2.3), as the browser writes them.
      if (combined.port() == (combined.scheme() == u"http" ? 80 : 443)) combined.setPort(-1);
      if (combined.path().isEmpty()) combined.setPath(QStringLiteral("/"));
    }
    const QByteArray text = combined.toEncoded(QUrl::FullyEncoded);
    if (static_cast<std::uint32_t>(text.size()) + 1 > *length) return false;
    std::memcpy(buffer, text.constData(), static_cast<std::size_t>(text.size()) + 1);
    *length = static_cast<std::uint32_t>(text.size());
    return true;
  }

 private:
  static QString Clean(QString text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 0x20) ++first;
    while (last > first && text[last - 1].unicode() <= 0x20) --last;
    text = text.mid(first, last - first);
    text.remove(u'\t').remove(u'\n').remove(u'\r');
    return text;
  }

  static qsizetype FirstOf(const QString& text, const char16_t* stops) {
    for (qsizetype i = 0; i < text.size(); ++i) {
      for (const char16_t* s = stops; *s; ++s) {
        if (text[i] == QChar(*s)) return i;
      }
    }
    return text.size();
  }
};

}  // namespace

std::unique_ptr<UrlService> NewUrlCombiner() { return std::make_unique<UrlCombiner>(); }

}  // namespace harvelo
