// Haulbeam: the download program that takes Harvelo's jobs.

#include <QApplication>
#include <QNetworkAccessManager>
#include <QNetworkProxyFactory>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "browser_cookies.h"
#include "options.h"
#include "platform/linux/devtools/devtools_endpoint.h"
#include "platform/linux/posix/process_starter.h"
#include "platform/linux/qt_widgets/program_icon.h"
#include "program.h"
#include "trusted_authorities.h"

namespace {

constexpr int kCannotListen = 1;
constexpr int kUsageError = 2;

bool HasDesktop() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  QString problem;
  std::optional<haulbeam::Options> options = haulbeam::ParseOptions(arguments, problem);
  if (!options) {
    std::fprintf(stderr, "Haulbeam: %s\nTry 'Haulbeam --help'.\n", problem.toUtf8().constData());
    return kUsageError;
  }
  if (options->help) {
    std::fputs(haulbeam::kHelp, stdout);
    return 0;
  }
  if (options->window && !HasDesktop()) {
    std::fputs("Haulbeam: no desktop to show a window on; working without one.\n", stderr);
    options->window = false;
  }
  std::unique_ptr<QCoreApplication> application =
      options->window ? std::make_unique<QApplication>(argc, argv)
                      : std::make_unique<QCoreApplication>(argc, argv);
  if (options->window) {
    QApplication::setWindowIcon(harvelo::ProgramIcon(QStringLiteral(":/icons/haulbeam.svg")));
  }
  // The proxy that the environment names (http_proxy, https_proxy, no_proxy), as curl does.
  QNetworkProxyFactory::setUseSystemConfiguration(true);
  const QString authorities = qEnvironmentVariable(haulbeam::kAuthoritiesVariable);
  QString problem_with_authorities;
  if (!authorities.isEmpty() &&
      !haulbeam::TrustAuthoritiesFrom(authorities, problem_with_authorities)) {
    std::fprintf(stderr, "Haulbeam: %s; trusting the system's authorities only.\n",
                 problem_with_authorities.toUtf8().constData());
  }
  QNetworkAccessManager network;
  const auto cookies = haulbeam::NewDevToolsCookies([] { return harvelo::FindDevToolsEndpoint(); },
                                                    [](const QString& line) {
                                                      std::fputs(line.toUtf8().constData(), stderr);
                                                      std::fflush(stderr);
                                                    });
  try {
    haulbeam::Program program(*options, network, *cookies, qgetenv(harvelo::kWindowStyleVariable));
    return application->exec();
  } catch (const harvelo::ServerNameTaken&) {
    std::fputs("Haulbeam is running already; it takes the jobs.\n", stderr);
    return 0;
  } catch (const harvelo::Failure& failure) {
    std::fprintf(stderr, "Haulbeam: %s\n", failure.what());
    return kCannotListen;
  }
}
