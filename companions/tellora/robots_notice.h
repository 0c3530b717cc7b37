#ifndef HARVELO_COMPANIONS_TELLORA_ROBOTS_NOTICE_H_
#define HARVELO_COMPANIONS_TELLORA_ROBOTS_NOTICE_H_

#include <QDialog>

#include "notice_argument.h"

namespace harvelo::tellora {

// The notice for a page that asks not to be followed: what happened, the page's address
// (selectable, so that it can be copied) and when Harvelo would harvest such a page.
class RobotsNotice : public QDialog {
 public:
  explicit RobotsNotice(const NoticeArgument& argument);
};

}  // namespace harvelo::tellora

#endif  // HARVELO_COMPANIONS_TELLORA_ROBOTS_NOTICE_H_
