#ifndef HARVELO_COMPANIONS_HAULBEAM_JOB_TABLE_MODEL_H_
#define HARVELO_COMPANIONS_HAULBEAM_JOB_TABLE_MODEL_H_

// The jobs of a download queue as a table for the window: one row per job.

#include <QAbstractTableModel>

#include "download_queue.h"

namespace haulbeam {

class JobTableModel : public QAbstractTableModel {
 public:
  enum Column { kName, kGroup, kProgress, kSpeed, kState, kColumns };
  // The progress column's percentage, -1 while the size is unknown.
  static constexpr int kPercentRole = Qt::UserRole;

  // `queue` must remain live while the model is.
  explicit JobTableModel(const DownloadQueue& queue);

  // The queue's observer passes its news on through these.
  void RowAdded(int row);
  void RowChanged(int row);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const DownloadQueue& queue_;
};

}  // namespace haulbeam

#endif  // HARVELO_COMPANIONS_HAULBEAM_JOB_TABLE_MODEL_H_
