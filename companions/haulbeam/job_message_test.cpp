#include "job_message.h"

#include <gtest/gtest.h>

namespace haulbeam {
namespace {

using namespace Qt::Literals::StringLiterals;

QString Message(const QString& url, const QString& path, const QString& origin = u"http://o/p"_s,
                const QString& group = u"g999"_s, const QString& order = u"07"_s) {
  return u"<DataURL>"_s + url + u"</DataURL><DataPath>"_s + path + u"</DataPath><DataOrgin>"_s +
         origin + u"</DataOrgin><DataGroup>"_s + group + u"</DataGroup><DataOrder>"_s + order +
         u"</DataOrder>"_s;
}

TEST(JobMessageTest, GivenWellFormedMessagesWeShouldReadEveryValue) {
  const std::pair<QString, Job> kCases[] = {
      {Message(u"http://h/a.jpg"_s, u"/home/u/Pictures/"_s),
       {QUrl(u"http://h/a.jpg"_s), u"/home/u/Pictures/"_s, u"http://o/p"_s, u"g999"_s, u"07"_s}},
      // Values are not escaped: "<" and a tag of another name may occur in them.
      {Message(u"http://h/a<b></DataPath>.jpg?x=1&amp;y=2"_s, u"/d/<x>/"_s, u"http://o/?a&amp;b"_s,
               QString(), QString()),
       {QUrl(u"http://h/a<b></DataPath>.jpg?x=1&y=2"_s), u"/d/<x>/"_s, u"http://o/?a&b"_s, {}, {}}},
      {Message(u"http://h/a.jpg"_s, u"/no/slash"_s, QString()),
       {QUrl(u"http://h/a.jpg"_s), u"/no/slash/"_s, QString(), u"g999"_s, u"07"_s}},
  };
  for (const auto& [message, expected] : kCases) {
    QString problem;
    const std::optional<Job> job = ParseJobMessage(message, problem);
    ASSERT_TRUE(job) << message.toStdString() << ": " << problem.toStdString();
    EXPECT_EQ(
        std::tie(job->url, job->folder, job->origin, job->group, job->order),
        std::tie(expected.url, expected.folder, expected.origin, expected.group, expected.order));
  }
}

TEST(JobMessageTest, GivenMalformedMessagesWeShouldRefuseThemSayingWhy) {
  const QString good = Message(u"http://h/a.jpg"_s, u"/d/"_s);
  const std::pair<QString, QString> kCases[] = {
      {QString(), u"expected <DataURL> at character 1"_s},
      {u"<DataURL>x</DataURL>"_s, u"expected <DataPath> at character 21"_s},
      {good.left(good.size() - 1), u"no </DataOrder>"_s},
      {good + u" "_s, u"text after </DataOrder>"_s},
      {QString(good).replace(u"<DataOrgin>"_s, u"<DataOrigin>"_s), u"expected <DataOrgin>"_s},
      {Message(QString(), u"/d/"_s), u"no address"_s},
      {Message(u"http://h/a.jpg"_s, u"C:\\Pictures\\"_s), u"not an absolute path"_s},
      {Message(u"http://h/a.jpg"_s, QString()), u"not an absolute path"_s},
  };
  for (const auto& [message, why] : kCases) {
    QString problem;
    EXPECT_FALSE(ParseJobMessage(message, problem)) << message.toStdString();
    EXPECT_TRUE(problem.contains(why)) << problem.toStdString();
  }
}

}  // namespace
}  // namespace haulbeam
