#include "platform/linux/qt_core/url_combiner.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace harvelo {

namespace {

// The browser's reading of a link, so that the combined address is the one the browser
// itself shows for it: the URL Standard's parser (WHATWG), with Chromium's percent-encode
// sets, reduced to what a link and a page address can hold.
//  - Blanks and control characters around the input are dropped; tabs and line breaks
//    inside are removed.
//  - The special schemes (http, https, ftp, ws, wss, file) always have an authority: "\"
//    reads as "/" before the query, any number of slashes may open the authority, the host
//    is lower-cased and written in ASCII (IDNA and IPv4 forms by QUrl), the default port is
//    dropped and an empty path is "/". A file address may have an empty host.
//  - "http:g" is the relative "g" against an http base and "http://g" against any other.
//  - A relative reference resolves as RFC 3986 5.2 says; in its path, "\" reads as "/".
//    "." and ".." segments (also spelt "%2e") are removed without climbing above the root.
//  - Each component is percent-encoded as UTF-8 by its own set; percent signs already in
//    the text are kept as written.
//  - An address without a hierarchical path (mailto:, javascript:) keeps that path as
//    written and combines only with "#fragment".
//  - A base without a scheme, a host the browser refuses or a bad port fails.
struct Address {
  std::string scheme;  // lower case; empty in a relative reference
  std::optional<std::string> authority;
  std::string path;
  std::optional<std::string> query;
  std::optional<std::string> fragment;
};

// Characters percent-encoded in each component besides controls, DEL and non-ASCII.
constexpr std::string_view kPathSet = " \"#<>?^`{|}";
constexpr std::string_view kQuerySet = " \"#'<>";
constexpr std::string_view kFragmentSet = " \"<>`";
constexpr std::string_view kUserinfoSet = " \"#/:;<=>?@[\\]^`{|}";
constexpr std::string_view kOpaqueSet = "";

bool IsSpecial(std::string_view scheme) {
  return scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "ws" ||
         scheme == "wss" || scheme == "file";
}

std::string_view DefaultPort(std::string_view scheme) {
  if (scheme == "http" || scheme == "ws") return "80";
  if (scheme == "https" || scheme == "wss") return "443";
  return scheme == "ftp" ? "21" : "";
}

bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Drops blanks and controls around the text and tabs and line breaks inside it.
std::string Clean(std::string_view text) {
  while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  std::string out;
  for (char c : text) {
    if (c != '\t' && c != '\n' && c != '\r') out.push_back(c);
  }
  return out;
}

// The scheme in lower case, or empty when the text does not begin with one and its ":".
std::string SchemeOf(std::string_view text) {
  if (text.empty() || !IsAlpha(text[0])) return {};
  std::string scheme;
  for (char c : text) {
    if (c == ':') return scheme;
    if (!IsAlpha(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') break;
    scheme.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c);
  }
  return {};
}

std::string Encode(std::string_view text, std::string_view set) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F || set.find(c) != std::string_view::npos) {
      out += {'%', kHex[byte >> 4], kHex[byte & 15]};
    } else {
      out.push_back(c);
    }
  }
  return out;
}

bool IsDots(std::string_view segment, int dots) {
  for (int i = 0; i < dots; ++i) {
    if (segment.starts_with(".")) {
      segment.remove_prefix(1);
    } else if (segment.size() >= 3 && segment[0] == '%' && segment[1] == '2' &&
               (segment[2] == 'e' || segment[2] == 'E')) {
      segment.remove_prefix(3);
    } else {
      return false;
    }
  }
  return segment.empty();
}

// `path` begins with "/". A final "." or ".." leaves the path ending in "/".
std::string RemoveDotSegments(std::string_view path) {
  std::vector<std::string_view> kept;
  path.remove_prefix(1);
  while (true) {
    const std::size_t slash = path.find('/');
    const std::string_view segment = path.substr(0, slash);
    const bool last = slash == std::string_view::npos;
    if (IsDots(segment, 2)) {
      if (!kept.empty()) kept.pop_back();
      if (last) kept.push_back({});
    } else if (IsDots(segment, 1)) {
      if (last) kept.push_back({});
    } else {
      kept.push_back(segment);
    }
    if (last) break;
    path.remove_prefix(slash + 1);
  }
  std::string out;
  for (std::string_view segment : kept) (out += '/') += segment;
  return out;
}

// A special scheme's host as the browser writes it; nothing when the browser refuses it.
std::optional<std::string> CanonicalHost(std::string_view scheme, std::string_view host) {
  if (host.empty()) return scheme == "file" ? std::optional<std::string>("") : std::nullopt;
  QUrl url;
  url.setHost(QString::fromUtf8(QByteArray::fromPercentEncoding(
      QByteArray(host.data(), static_cast<qsizetype>(host.size())))));
  const std::string ascii = url.host(QUrl::FullyEncoded).toStdString();
  if (!url.isValid() || ascii.empty()) return std::nullopt;
  return ascii.find(':') == std::string::npos ? ascii : "[" + ascii + "]";
}

std::optional<std::string> CanonicalAuthority(std::string_view scheme, std::string_view text) {
  std::string out;
  if (const std::size_t at = text.rfind('@'); at != std::string_view::npos) {
    const std::string_view userinfo = text.substr(0, at);
    const std::size_t colon = userinfo.find(':');
    out = Encode(userinfo.substr(0, colon), kUserinfoSet);
    if (colon != std::string_view::npos && colon + 1 < userinfo.size()) {
      out += ':' + Encode(userinfo.substr(colon + 1), kUserinfoSet);
    }
    if (!out.empty()) out += '@';
    text.remove_prefix(at + 1);
  }
  // A colon inside the brackets of an IPv6 address opens no port.
  std::string_view port;
  const std::size_t bracket = text.rfind(']');
  const std::size_t colon = text.rfind(':');
  if (colon != std::string_view::npos && (bracket == std::string_view::npos || colon > bracket)) {
    port = text.substr(colon + 1);
    text = text.substr(0, colon);
  }
  if (IsSpecial(scheme)) {
    const std::optional<std::string> host = CanonicalHost(scheme, text);
    if (!host) return std::nullopt;
    out += *host;
  } else if (text.find_first_of(" #/<>?@[\\]^|") == std::string_view::npos) {
    out += Encode(text, kOpaqueSet);
  } else {
    return std::nullopt;
  }
  while (port.size() > 1 && port.front() == '0') port.remove_prefix(1);
  if (port.find_first_not_of("0123456789") != std::string_view::npos || port.size() > 5 ||
      (port.size() == 5 && port > "65535")) {
    return std::nullopt;
  }
  if (!port.empty() && port != DefaultPort(scheme)) (out += ':') += port;
  return out;
}

// Reads "//authority/path?query#fragment" or "path?query#fragment".
Address Split(std::string scheme, std::string_view text) {
  Address address{std::move(scheme), {}, {}, {}, {}};
  if (const std::size_t hash = text.find('#'); hash != std::string_view::npos) {
    address.fragment = text.substr(hash + 1);
    text = text.substr(0, hash);
  }
  if (const std::size_t question = text.find('?'); question != std::string_view::npos) {
    address.query = text.substr(question + 1);
    text = text.substr(0, question);
  }
  if (text.starts_with("//")) {
    const std::size_t end = std::min(text.find('/', 2), text.size());
    address.authority = text.substr(2, end - 2);
    text.remove_prefix(end);
  }
  address.path = text;
  return address;
}

// The reference taken apart, with the browser's readings of the special schemes applied.
// `relative` tells whether it must be resolved against the base.
Address Reference(std::string text, const Address* base, bool* relative) {
  std::string scheme = SchemeOf(text);
  if (!scheme.empty()) text.erase(0, scheme.size() + 1);
  // A relative reference takes the base's scheme.
  const std::string target = scheme.empty() && base ? base->scheme : scheme;
  const bool special = IsSpecial(target);
  if (scheme.empty() || special) {
    for (char& c : text) {
      if (c == '?' || c == '#') break;
      if (c == '\\') c = '/';
    }
  }
  if (special && base && scheme == base->scheme && !text.starts_with("//")) scheme.clear();
  *relative = scheme.empty();
  const std::size_t slashes = std::min(text.find_first_not_of('/'), text.size());
  if (special && target != "file" && (!*relative || slashes >= 2)) {
    text = "//" + text.substr(slashes);
  } else if (target == "file" && !*relative && slashes < 2) {
    text = "///" + text.substr(slashes);
  }
  return Split(std::move(scheme), text);
}

// RFC 3986 5.2.2, over a base that is already canonical.
std::optional<Address> Resolve(Address reference, const Address& base) {
  const bool opaque_base = !base.authority && !base.path.starts_with("/");
  if (opaque_base) {
    if (reference.authority || !reference.path.empty() || reference.query || !reference.fragment) {
      return std::nullopt;
    }
    Address target = base;
    target.fragment = reference.fragment;
    return target;
  }
  Address target{base.scheme, base.authority, {}, reference.query, reference.fragment};
  if (reference.authority) {
    target.authority = reference.authority;
    target.path = reference.path;
  } else if (reference.path.empty()) {
    target.path = base.path;
    if (!reference.query) target.query = base.query;
  } else if (reference.path.starts_with("/")) {
    target.path = reference.path;
  } else if (base.authority && base.path.empty()) {
    target.path = "/" + reference.path;
  } else {
    target.path = base.path.substr(0, base.path.rfind('/') + 1) + reference.path;
  }
  return target;
}

// The address as the browser writes it; nothing when it has no valid form.
std::optional<Address> Canonical(Address address) {
  const bool special = IsSpecial(address.scheme);
  if (address.authority) {
    address.authority = CanonicalAuthority(address.scheme, *address.authority);
    if (!address.authority) return std::nullopt;
  } else if (special) {
    return std::nullopt;
  }
  if (!address.authority && !address.path.starts_with("/")) {
    address.path = Encode(address.path, kOpaqueSet);
  } else if (!address.path.empty()) {
    address.path = RemoveDotSegments(Encode(address.path, kPathSet));
  } else if (special) {
    address.path = "/";
  }
  if (address.query) address.query = Encode(*address.query, kQuerySet);
  if (address.fragment) address.fragment = Encode(*address.fragment, kFragmentSet);
  return address;
}

std::optional<Address> Parse(std::string_view text, const Address* base) {
  bool relative = false;
  Address reference = Reference(Clean(text), base, &relative);
  if (relative) {
    if (!base) return std::nullopt;
    std::optional<Address> target = Resolve(std::move(reference), *base);
    if (!target) return std::nullopt;
    reference = std::move(*target);
  }
  return Canonical(std::move(reference));
}

std::string Serialized(const Address& address) {
  std::string out = address.scheme + ":";
  if (address.authority) {
    out += "//" + *address.authority;
  } else if (address.path.starts_with("//")) {
    out += "/.";  // so that the path is not read as an authority
  }
  out += address.path;
  if (address.query) out += "?" + *address.query;
  if (address.fragment) out += "#" + *address.fragment;
  return out;
}

class UrlCombiner : public UrlService {
 public:
  bool InternetCombineUrlA(const std::string& base, const std::string& relative, char* buffer,
                           std::uint32_t* length, std::uint32_t /*flags*/) override {
    std::optional<Address> base_address = Parse(base, nullptr);
    if (!base_address) return false;
    base_address->fragment.reset();
    const std::optional<Address> combined = Parse(relative, &*base_address);
    if (!combined) return false;
    const std::string text = Serialized(*combined);
    if (text.size() + 1 > *length) return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    *length = static_cast<std::uint32_t>(text.size());
    return true;
  }
};

}  // namespace

std::unique_ptr<UrlService> NewUrlCombiner() { return std::make_unique<UrlCombiner>(); }

}  // namespace harvelo
