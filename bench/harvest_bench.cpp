// A whole harvest as a person does it, on a gallery of N pictures of 200 KB served from
// 127.0.0.1 with 50 ms before each answer, as a distant server would: from the start of
// harvelo to its folder dialog on screen, and from the dialog's OK to the last file saved
// by Haulbeam (which harvelo starts). Beside it, the same files fetched by curl one after
// another. And the start to the folder dialog alone, on large pages read from the text and
// from the document (a marker page), shown in Chromium and in Firefox.
//
// Each harvest starts with no Haulbeam running and an empty save folder.

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "support/child_process.h"
#include "support/desktop_scene.h"
#include "support/qt_application.h"
#include "support/x_session.h"
#include "thumbnail_page.h"

namespace harvelo {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr std::size_t kPictureBytes = 200 * 1000;
constexpr auto kServerDelay = 50ms;

// A gallery page with `count` thumbnails, each linking to a picture of kPictureBytes.
void WriteGallery(const fs::path& site, int count) {
  fs::create_directories(site / "pictures");
  fs::create_directories(site / "thumbs");
  std::mt19937 random(count);
  std::string page = "<!DOCTYPE html><html><head><title>Gallery</title></head><body>\n";
  for (int i = 1; i <= count; ++i) {
    const std::string name = "p" + std::to_string(i) + ".jpg";
    std::string bytes(kPictureBytes, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    std::ofstream(site / "pictures" / name, std::ios::binary) << bytes;
    std::ofstream(site / "thumbs" / name, std::ios::binary) << bytes.substr(0, 2000);
    page += "<a href=\"pictures/" + name + "\"><img src=\"thumbs/" + name +
            "\" width=80 height=60></a>\n";
  }
  std::ofstream(site / "index.html") << page << "<p>The end.</p></body></html>\n";
}

// One site shown in one browser, kept for every iteration of a benchmark.
struct Stage {
  testing::TemporaryFolder site;
  testing::DesktopScene scene;

  Stage(const testing::XSession& display, const std::function<void(const fs::path&)>& write,
        std::chrono::milliseconds server_delay, testing::BrowserProtocol browser)
      : scene(display, HARVELO_PROGRAM_FOLDER, (write(site.path()), site.path()), browser) {
    scene.server().Delay(server_delay);
    scene.ShowPage("/index.html");
  }
};

// The stage named `name`, made by `write` on first use and shown in `browser`.
Stage& StageFor(const std::string& name, const std::function<void(const fs::path&)>& write,
                std::chrono::milliseconds server_delay,
                testing::BrowserProtocol browser = testing::BrowserProtocol::kDevTools) {
  testing::TestApplication<QCoreApplication>();
  static testing::XSession display;
  static std::map<std::string, std::unique_ptr<Stage>> stages;
  std::unique_ptr<Stage>& stage = stages[name];
  if (!stage) stage = std::make_unique<Stage>(display, write, server_delay, browser);
  return *stage;
}

Stage& GalleryStage(int pictures) {
  return StageFor(
      "gallery " + std::to_string(pictures),
      [pictures](const fs::path& site) { WriteGallery(site, pictures); }, kServerDelay);
}

double Milliseconds(Clock::duration duration) {
  return std::chrono::duration<double, std::milli>(duration).count();
}

void BM_HarveloOkToLastFileSaved(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  testing::DesktopScene& scene = GalleryStage(count).scene;
  double to_dialog_ms = 0;
  for (auto _ : state) {
    scene.EndStartedPrograms();  // no Haulbeam from an earlier harvest
    fs::remove_all(scene.home() + "/Quorvex");
    fs::remove(scene.output());

    const Clock::time_point start = Clock::now();
    auto harvelo = scene.StartHarvelo();
    const std::string dialog = scene.FindWindow("Harvelo - Quorvex");
    const Clock::time_point dialog_shown = Clock::now();
    if (dialog.empty() || !scene.BecomesActive(dialog)) {
      state.SkipWithError("no folder dialog");
      break;
    }
    const Clock::time_point ok = Clock::now();
    scene.Run({"xdotool", "key", "Return"});
    const auto saved = testing::DesktopScene::WaitForLines(scene.output(), "saved\t",
                                                           static_cast<std::size_t>(count), 300s);
    const Clock::time_point last_saved = Clock::now();
    if (saved.size() != static_cast<std::size_t>(count)) {
      state.SkipWithError("not every file was saved");
      break;
    }
    harvelo->Wait(30s);
    to_dialog_ms += Milliseconds(dialog_shown - start);
    state.SetIterationTime(std::chrono::duration<double>(last_saved - ok).count());
  }
  state.counters["start_to_dialog_ms"] =
      benchmark::Counter(to_dialog_ms, benchmark::Counter::kAvgIterations);
  state.counters["files"] = static_cast<double>(count);
}

void BM_CurlOneAfterAnother(benchmark::State& state) {
  const int count = static_cast<int>(state.range(0));
  Stage& stage = GalleryStage(count);
  testing::TemporaryFolder folder;
  std::vector<std::string> command = {"curl", "--silent", "--fail", "--output-dir", folder.path()};
  for (int i = 1; i <= count; ++i) {
    const std::string name = "p" + std::to_string(i) + ".jpg";
    command.insert(command.end(),
                   {"--output", name, stage.scene.server().Url("/pictures/" + name)});
  }
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    const std::optional<int> status = testing::ChildProcess(command).Wait(300s);
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    if (status != 0) state.SkipWithError("curl failed");
  }
  state.counters["files"] = static_cast<double>(count);
}

// From the start of harvelo to its folder dialog on screen, which is then cancelled: on a page
// of range(1) thumbnail links and range(2) loose pictures, a marker page when range(0) is 1,
// shown in Firefox when range(3) is 1, else in Chromium.
void BM_HarveloStartToFolderDialog(benchmark::State& state) {
  const bool marker = state.range(0) == 1;
  const int links = static_cast<int>(state.range(1));
  const int loose = static_cast<int>(state.range(2));
  const bool firefox = state.range(3) == 1;
  const auto write = [=](const fs::path& site) {
    std::ofstream(site / "index.html") << ThumbnailPage(marker, links, loose);
  };
  const std::string name = "thumbnails " + std::to_string(marker) + " " + std::to_string(links) +
                           " " + std::to_string(loose) + " " + std::to_string(firefox);
  testing::DesktopScene& scene =
      StageFor(name, write, 0ms,
               firefox ? testing::BrowserProtocol::kBidi : testing::BrowserProtocol::kDevTools)
          .scene;
  for (auto _ : state) {
    const Clock::time_point start = Clock::now();
    auto harvelo = scene.StartHarvelo();
    const std::string dialog = scene.FindWindow("Harvelo - Quorvex");
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    if (dialog.empty() || !scene.BecomesActive(dialog)) {
      state.SkipWithError("no folder dialog");
      break;
    }
    scene.Run({"xdotool", "key", "Escape"});
    if (harvelo->Wait(30s) != 0) {
      state.SkipWithError("harvelo did not end after the dialog was cancelled");
      break;
    }
  }
  state.counters["pictures"] = links + loose;
}

BENCHMARK(BM_HarveloOkToLastFileSaved)
    ->Arg(5)
    ->Arg(200)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CurlOneAfterAnother)
    ->Arg(5)
    ->Arg(200)
    ->UseManualTime()
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HarveloStartToFolderDialog)
    ->ArgNames({"marker", "links", "loose", "firefox"})
    ->Args({0, 300, 0, 0})
    ->Args({0, 300, 0, 1})
    ->Args({1, 2000, 1000, 0})
    ->Args({1, 2000, 1000, 1})
    ->Args({1, 5, 5, 0})
    ->Args({1, 5, 5, 1})
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace harvelo

BENCHMARK_MAIN();
