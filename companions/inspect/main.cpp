// harvelo-inspect: what harvelo would take from a saved page.

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>

#include "inspection.h"
#include "platform/failure.h"
#include "platform/linux/hive_file/hive_file.h"
#include "platform/linux/qt_core/url_combiner.h"

namespace {

constexpr int kBadInput = 2;

const char kHelp[] =
    "Usage: harvelo-inspect --page-url URL [FILE]\n"
    "       harvelo-inspect --page-url URL --modern-reach [FILE]\n"
    "\n"
    "Shows what harvelo would take from a saved web page, without a browser, a dialog or\n"
    "a download. The page is read as UTF-8 from FILE, or from standard input when FILE is\n"
    "missing or \"-\". URL is the address the page was shown at; relative links are made\n"
    "absolute against it (or against the page's base address).\n"
    "\n"
    "Prints one JSON object:\n"
    "  {\"mode\": \"source\" or \"marker\", \"links\": [[link, content], ...],\n"
    "   \"media\": [...], \"pictures\": P, \"movies\": M, \"harvest_allowed\": true|false}\n"
    "links: every link the page's text yields, in page order, with the address of the\n"
    "image inside it or else its raw content. media: the addresses harvelo would hand to\n"
    "the download program. A page with harvelo's marker tags is scanned from the live\n"
    "document in the browser, so here it only reports its mode. harvest_allowed: whether\n"
    "the page's robots exclusion lets harvelo take anything, with the setting vObeyRobot\n"
    "as your settings file holds it; harvelo scans a refused page no further.\n"
    "\n"
    "The scan reaches as far as the setting vModernReach says: with \"1\", https\n"
    "addresses count as well as http ones, and .png, .webp, .avif pictures and .mp4,\n"
    ".webm, .m4v, .mkv movies as well as the classic types. --modern-reach scans so for\n"
    "this run whatever the setting holds.\n"
    "\n"
    "Exit status: 0 on success, 1 when the page cannot be scanned, 2 on a usage error or\n"
    "unreadable input.\n";

// The command-line program's own interface: nothing to yield to, errors on stderr.
struct ConsoleInterface : harvelo::UserInterface {
  void MessageBox(const harvelo::Text& prompt, const harvelo::Text&) override {
    std::cerr << "harvelo-inspect: " << harvelo::ToUtf8(prompt) << "\n";
  }
  void DoEvents() override {}
  void ShowMainForm(const harvelo::Text&, const harvelo::Text&, std::function<void()>) override {}
  void UnloadMainForm() override {}
  [[noreturn]] void End() override { std::exit(1); }
};

// The whole of `path`, or of standard input when it is null. False, with errno set, when
// the input cannot be opened or read (a folder, a missing file, an I/O error).
bool ReadAll(const char* path, std::string& bytes) {
  std::FILE* in = path ? std::fopen(path, "rb") : stdin;
  if (!in) return false;
  char chunk[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, in)) > 0) bytes.append(chunk, got);
  const bool failed = std::ferror(in) != 0;
  const int error = errno;
  if (path) std::fclose(in);
  errno = error;
  return !failed;
}

int UsageError(const std::string& message) {
  std::cerr << "harvelo-inspect: " << message << "\nTry 'harvelo-inspect --help'.\n";
  return kBadInput;
}

}  // namespace

int main(int argc, char** argv) {
  std::string page_url;
  bool have_url = false;
  std::string file;
  bool modern_reach = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::cout << kHelp;
      return 0;
    }
    if (arg == "--page-url") {
      if (i + 1 >= argc) return UsageError("--page-url needs an address");
      page_url = argv[++i];
      have_url = true;
    } else if (arg.rfind("--page-url=", 0) == 0) {
      page_url = arg.substr(11);
      have_url = true;
    } else if (arg == "--modern-reach") {
      modern_reach = true;
    } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
      return UsageError("unknown option " + arg);
    } else if (file.empty()) {
      file = arg;
    } else {
      return UsageError("only one page at a time");
    }
  }
  if (!have_url) return UsageError("--page-url is required");

  const bool from_stdin = file.empty() || file == "-";
  const std::string source = from_stdin ? std::string("standard input") : file;
  std::string bytes;
  if (!ReadAll(from_stdin ? nullptr : file.c_str(), bytes)) {
    return UsageError("cannot read " + source + ": " + std::strerror(errno));
  }

  ConsoleInterface ui;
  const auto urls = harvelo::NewUrlCombiner();
  const auto settings = harvelo::NewHiveFileStore(harvelo::DefaultHiveFilePath(), std::cerr);
  const auto registry_api = harvelo::NewHiveRegistry(*settings);
  harvelo::Registry registry(*registry_api);
  try {
    harvelo::Text page = harvelo::FromUtf8(bytes);
    std::string().swap(bytes);  // the page is held once, as text
    harvelo::MediaReach reach = harvelo::ReadMediaReach(registry);
    reach.modern = reach.modern || modern_reach;
    const harvelo::Inspection inspection = harvelo::InspectPage(
        std::move(page), harvelo::FromUtf8(page_url), registry, *urls, ui, reach);
    harvelo::WriteInspectionJson(inspection, std::cout);
    std::cout << "\n";
  } catch (const harvelo::Failure& failure) {
    std::cerr << "harvelo-inspect: " << harvelo::ToUtf8(failure.description()) << "\n";
    return 1;
  }
  return 0;
}
