#include "options.h"

namespace haulbeam {
namespace {

using namespace Qt::Literals::StringLiterals;

// A number of seconds, decimals allowed: "10", "0.05".
std::optional<std::chrono::milliseconds> Seconds(const QString& text) {
  bool ok = false;
  const double seconds = text.toDouble(&ok);
  if (!ok || seconds < 0 || seconds > 86400) return std::nullopt;
  return std::chrono::milliseconds(static_cast<long long>(seconds * 1000 + 0.5));
}

}  // namespace

const char kHelp[] =
    "Usage: Haulbeam [--downloads-at-once N] [--end-after SECONDS] [--retry-pauses LIST]\n"
    "                [--largest-file MB] [--no-window]\n"
    "\n"
    "The download program of Harvelo. It listens as \"my server\" on the message channel\n"
    "(docs/message-channel.md), takes each job message (number 401) that Harvelo sends,\n"
    "and saves the address into the job's folder over HTTP or HTTPS, with the page as the\n"
    "Referer. A file is named after the server's Content-Disposition or the address, and\n"
    "never replaces a file: \"name (2).jpg\" comes next. It is written as\n"
    "\"name.<12 hex digits>.part\" until complete, and a later job for the same address in\n"
    "the same folder resumes that part where the server allows it.\n"
    "\n"
    "A second Haulbeam finds the first listening and ends at once (exit status 0), so the\n"
    "jobs all reach one program. Haulbeam ends by itself once it has had no job to do and\n"
    "no client connected for --end-after seconds; for its first client it waits 30\n"
    "seconds at least.\n"
    "\n"
    "Options:\n"
    "  --downloads-at-once N  downloads running at the same time (default 4, 1 to 32)\n"
    "  --end-after SECONDS    how long to stay once there is nothing to do (default 10)\n"
    "  --retry-pauses LIST    pauses in seconds before the retries of a failed transfer,\n"
    "                         comma-separated; one retry per pause (default 1,2,4);\n"
    "                         an empty list tries once\n"
    "  --largest-file MB      a file larger than this fails, whether the server announces\n"
    "                         its size or sends it without end (default 4096)\n"
    "  --no-window            no window, for use without a desktop\n"
    "  --help                 this text\n"
    "\n"
    "Each download goes out as the user's browser would send it: Haulbeam asks the\n"
    "Chromium-family browser that Harvelo works with (over its DevTools endpoint, found as\n"
    "Harvelo finds it) for its cookies for the address and its User-Agent. Without a\n"
    "browser that answers, it downloads without them and says so once on standard error.\n"
    "Cookies are never written anywhere.\n"
    "\n"
    "Environment:\n"
    "  HARVELO_WINDOW_STYLE=4 shows the window without taking the focus, 2 minimised.\n"
    "  HARVELO_DEVTOOLS       the browser's DevTools address (http://127.0.0.1:9222)\n"
    "  HAULBEAM_CA_FILE       a PEM file of certificate authorities to trust besides the\n"
    "                         system's, for servers with a private authority's certificate\n"
    "\n"
    "Standard output: one line per job that has ended, fields separated by tabs:\n"
    "  saved   GROUP  ORDER  /path/of/the/file  ADDRESS\n"
    "  failed  GROUP  ORDER  REASON             ADDRESS\n"
    "GROUP and ORDER are empty when Harvelo does not number its runs; ADDRESS is the job's\n"
    "address with its character references (&amp;) decoded. Within a field \"\\\"\n"
    "is written \"\\\\\", a tab \"\\t\", a line feed \"\\n\", a carriage return \"\\r\".\n"
    "Refused messages are reported on standard error.\n"
    "\n"
    "Exit status: 0 when it ended by itself or found another Haulbeam, 1 when it cannot\n"
    "listen, 2 on a usage error.\n";

std::optional<Options> ParseOptions(const QStringList& arguments, QString& problem) {
  Options options;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& name = arguments[i];
    if (name == u"--help"_s || name == u"-h"_s) {
      options.help = true;
      continue;
    }
    if (name == u"--no-window"_s) {
      options.window = false;
      continue;
    }
    static const QStringList kWithValue = {u"--downloads-at-once"_s, u"--end-after"_s,
                                           u"--retry-pauses"_s, u"--largest-file"_s};
    if (!kWithValue.contains(name)) {
      problem = u"unknown argument "_s + name;
      return std::nullopt;
    }
    if (i + 1 >= arguments.size()) {
      problem = name + u" needs a value"_s;
      return std::nullopt;
    }
    const QString& value = arguments[++i];
    bool ok = true;
    if (name == u"--downloads-at-once"_s) {
      options.queue.downloads_at_once = value.toInt(&ok);
      ok = ok && options.queue.downloads_at_once >= 1 && options.queue.downloads_at_once <= 32;
    } else if (name == u"--largest-file"_s) {
      const qint64 megabytes = value.toLongLong(&ok);
      ok = ok && megabytes >= 1 && megabytes <= (qint64{1} << 30);
      options.queue.largest_file = megabytes << 20;
    } else if (name == u"--end-after"_s) {
      const auto seconds = Seconds(value);
      ok = seconds.has_value();
      if (ok) options.end_after = *seconds;
    } else {
      options.queue.retry_pauses.clear();
      for (const QString& item : value.split(u',', Qt::SkipEmptyParts)) {
        const auto seconds = Seconds(item);
        ok = ok && seconds.has_value();
        if (ok) options.queue.retry_pauses.push_back(*seconds);
      }
    }
    if (!ok) {
      problem = u"bad value for "_s + name + u": "_s + value;
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace haulbeam
