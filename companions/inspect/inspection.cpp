#include "inspection.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include "scanner/list_links.h"
#include "scanner/page_scan.h"
#include "scanner/source_media.h"

namespace harvelo {

namespace {

QString ToQString(const Text& text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

Inspection InspectPage(const Text& page_html, const Text& page_url, UrlService& urls,
                       UserInterface& ui) {
  Inspection inspection;
  const Text lower = LowerAscii(page_html);
  inspection.marker_page = Contains(lower, kPicturesMarker) || Contains(lower, kMoviesMarker);
  if (inspection.marker_page) return inspection;
  LinkSets sets(2);
  ListLinks(sets, 1, page_html, page_url, urls, ui);
  inspection.links = std::move(sets[1]);
  TakeSourceMedia(inspection.links, inspection.media, ui);
  inspection.movies = PageScan::CountMovies(inspection.media);
  inspection.pictures = static_cast<std::int32_t>(inspection.media.size()) - 1 - inspection.movies;
  return inspection;
}

std::string InspectionJson(const Inspection& inspection) {
  QJsonArray links;
  for (std::size_t j = 1; j < inspection.links.LinkURLs.size(); ++j) {
    links.append(QJsonArray{ToQString(inspection.links.LinkURLs[j]),
                            ToQString(inspection.links.LinkContents[j])});
  }
  QJsonArray media;
  for (std::size_t i = 1; i < inspection.media.size(); ++i) media.append(ToQString(inspection.media[i]));
  QJsonObject object;
  object.insert(u"mode", inspection.marker_page ? QStringLiteral("marker") : QStringLiteral("source"));
  object.insert(u"links", links);
  object.insert(u"media", media);
  object.insert(u"pictures", inspection.pictures);
  object.insert(u"movies", inspection.movies);
  return QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString();
}

}  // namespace harvelo
