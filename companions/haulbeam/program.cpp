#include "program.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <cstdio>

#include "finished_line.h"
#include "job_message.h"
#include "platform/linux/channel/channel_folder.h"

namespace haulbeam {
namespace {

using namespace Qt::Literals::StringLiterals;

// The most of a refused message that goes into the log.
constexpr qsizetype kLoggedMessage = 300;
// How long a new Haulbeam waits at least for its first client, who may be slow to come on
// a busy machine.
constexpr std::chrono::seconds kFirstClientWait{30};

void Print(std::FILE* stream, const QString& text) {
  std::fputs(text.toUtf8().constData(), stream);
  std::fflush(stream);
}

}  // namespace

Program::Program(const Options& options, QNetworkAccessManager& network, BrowserCookies& cookies,
                 const QByteArray& window_style)
    : queue_(network, options.queue, *this, &cookies), end_after_(options.end_after) {
  end_timer_.setSingleShot(true);
  QObject::connect(&end_timer_, &QTimer::timeout, [this] { EndIfIdle(); });
  server_ = harvelo::ListenAsChannelServer(
      harvelo::channel::DefaultChannelFolder(), u"my server",
      [this](std::int32_t number, std::string_view data) { return Take(number, data); });
  pump_ = std::make_unique<ChannelPump>(*server_, [this] { WatchIdle(); });
  if (options.window) {
    model_ = std::make_unique<JobTableModel>(queue_);
    window_ = std::make_unique<JobWindow>(*model_, [this] { return MayClose(); });
    ShowAsAsked(*window_, window_style);
  }
  WatchIdle();
}

Program::~Program() = default;

void Program::JobAdded(int row) {
  if (model_) model_->RowAdded(row);
  WatchIdle();
}

void Program::JobChanged(int row) {
  if (model_) model_->RowChanged(row);
}

void Program::JobEnded(int row) {
  if (model_) model_->RowChanged(row);
  Print(stdout, FinishedLine(queue_.Status(row)));
  WatchIdle();
}

bool Program::Take(std::int32_t message_number, std::string_view data) {
  const QString message = QString::fromUtf8(data.data(), static_cast<qsizetype>(data.size()));
  QString problem;
  std::optional<Job> job;
  if (message_number != kJobMessageNumber) {
    problem = u"message number %1 is not a job"_s.arg(message_number);
  } else {
    job = ParseJobMessage(message, problem);
  }
  if (!job) {
    Print(stderr,
          u"Haulbeam: refused a message (%1): %2\n"_s.arg(problem, message.left(kLoggedMessage)));
    return false;
  }
  queue_.Add(*job);
  return true;
}

bool Program::MayClose() {
  if (!queue_.Busy()) return true;
  const auto answer = QMessageBox::question(
      window_.get(), u"Haulbeam"_s,
      u"Some downloads have not finished. Stop them and quit? Their part files stay, so "
      "that the same jobs can resume them later."_s);
  if (answer != QMessageBox::Yes) return false;
  queue_.Stop(u"stopped by the user"_s);
  return true;
}

bool Program::Idle() const { return server_ && !queue_.Busy() && server_->Clients() == 0; }

void Program::WatchIdle() {
  had_client_ = had_client_ || queue_.Rows() > 0 || (server_ && server_->Clients() > 0);
  if (!Idle()) {
    end_timer_.stop();
  } else if (!end_timer_.isActive()) {
    end_timer_.start(had_client_
                         ? end_after_
                         : std::max<std::chrono::milliseconds>(end_after_, kFirstClientWait));
  }
}

void Program::EndIfIdle() {
  pump_->Serve();  // whatever came at the last moment first
  if (!Idle()) return;
  pump_.reset();
  server_.reset();  // new clients find no server from now on, and start a new Haulbeam
  QCoreApplication::quit();
}

}  // namespace haulbeam
