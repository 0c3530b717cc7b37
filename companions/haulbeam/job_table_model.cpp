#include "job_table_model.h"

#include <QFileInfo>
#include <QLocale>

#include "file_naming.h"

namespace haulbeam {
namespace {

using namespace Qt::Literals::StringLiterals;
using State = JobStatus::State;

QString Size(qint64 bytes) { return QLocale().formattedDataSize(bytes); }

int Percent(const JobStatus& status) {
  if (status.state == State::kSaved) return 100;
  if (status.total <= 0) return -1;
  return static_cast<int>(std::min<qint64>(100, status.received * 100 / status.total));
}

QString CellText(const JobStatus& status, int column) {
  switch (column) {
    case JobTableModel::kName:
      return status.state == State::kSaved ? QFileInfo(status.result).fileName()
                                           : SafeFileName(LastPathSegment(status.job.url));
    case JobTableModel::kGroup:
      return status.job.group.isEmpty() ? QString()
                                        : status.job.group + u" / "_s + status.job.order;
    case JobTableModel::kProgress:
      if (Percent(status) >= 0) return QString::number(Percent(status)) + u" %"_s;
      return status.received > 0 ? Size(status.received) : QString();
    case JobTableModel::kSpeed:
      return status.bytes_per_second > 0 ? Size(qint64(status.bytes_per_second)) + u"/s"_s
                                         : QString();
    default:
      break;
  }
  switch (status.state) {
    case State::kQueued:
      return u"queued"_s;
    case State::kDownloading:
      return u"downloading"_s;
    case State::kRetrying:
      return u"retrying "_s + QString::number(status.retries);
    case State::kSaved:
      return u"saved"_s;
    case State::kFailed:
      return u"failed: "_s + status.result;
  }
  return {};
}

}  // namespace

JobTableModel::JobTableModel(const DownloadQueue& queue) : queue_(queue) {}

void JobTableModel::RowAdded(int row) {
  beginInsertRows({}, row, row);
  endInsertRows();
}

void JobTableModel::RowChanged(int row) {
  emit dataChanged(index(row, 0), index(row, kColumns - 1));
}

int JobTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : queue_.Rows();
}

int JobTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant JobTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  const JobStatus& status = queue_.Status(index.row());
  switch (role) {
    case Qt::DisplayRole:
      return CellText(status, index.column());
    case kPercentRole:
      return Percent(status);
    case Qt::ToolTipRole:
      return index.column() == kName ? status.job.url.toDisplayString() : status.result;
    default:
      return {};
  }
}

QVariant JobTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  static const QString kTitles[kColumns] = {u"Name"_s, u"Group"_s, u"Progress"_s, u"Speed"_s,
                                            u"State"_s};
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return kTitles[section];
}

}  // namespace haulbeam
