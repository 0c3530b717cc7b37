#ifndef HARVELO_PLATFORM_LINUX_DEVTOOLS_PAGE_RUNNER_H_
#define HARVELO_PLATFORM_LINUX_DEVTOOLS_PAGE_RUNNER_H_

// Runs functions in a page, in a JavaScript world of the adapter's own: what the document, its
// collections, their snapshots and their elements are read through, whichever protocol carries
// the runs.

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

namespace harvelo {

// What a page function runs on: an object that an earlier run handed out (`object_id`), or the
// document that the page shows at the moment of the run (`object_id` empty); taken through
// `pick`, a function of it that answers the object, when there is one.
struct PageObject {
  QString object_id;
  QString pick;
};

class PageRunner {
 public:
  virtual ~PageRunner() = default;

  // Runs `function` with `this` being `object`, the values of `arguments` (numbers, booleans,
  // texts) given in order. Answers the result: {"value": the value} when `by_value`, else
  // {"objectId": an id for a later run}. Throws Failure when the page cannot be read, and what
  // the function threw: a thrown text as the Failure's text.
  virtual QJsonObject Run(const PageObject& object, const QString& function,
                          const QJsonArray& arguments = {}, bool by_value = true) = 0;

  // Raises what a page function threw, as a snapshot row keeps it: {"value": a thrown text},
  // raised as that text, or {"description": what else was thrown}.
  [[noreturn]] virtual void RaiseThrown(const QJsonObject& exception) const = 0;
};

}  // namespace harvelo

#endif  // HARVELO_PLATFORM_LINUX_DEVTOOLS_PAGE_RUNNER_H_
