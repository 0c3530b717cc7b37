#include "inspection.h"

#include "json_writer.h"
#include "run/robots_gate.h"
#include "scanner/list_links.h"
#include "scanner/page_scan.h"
#include "scanner/source_media.h"

namespace harvelo {

Inspection InspectPage(const Text& page_html, const Text& page_url, Registry& registry,
                       UrlService& urls, UserInterface& ui) {
  Inspection inspection;
  inspection.harvest_allowed = IsHarvestAllowed(registry, page_html);
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

void WriteInspectionJson(const Inspection& inspection, std::ostream& out) {
  JsonWriter json(out);
  json.BeginObject();
  json.Key(u"mode");
  json.String(inspection.marker_page ? u"marker" : u"source");
  json.Key(u"links");
  json.BeginArray();
  for (std::size_t j = 1; j < inspection.links.LinkURLs.size(); ++j) {
    json.BeginArray();
    json.String(inspection.links.LinkURLs[j]);
    json.String(inspection.links.LinkContents[j]);
    json.EndArray();
  }
  json.EndArray();
  json.Key(u"media");
  json.BeginArray();
  for (std::size_t i = 1; i < inspection.media.size(); ++i) json.String(inspection.media[i]);
  json.EndArray();
  json.Key(u"pictures");
  json.Number(inspection.pictures);
  json.Key(u"movies");
  json.Number(inspection.movies);
  json.Key(u"harvest_allowed");
  json.Bool(inspection.harvest_allowed);
  json.EndObject();
}

}  // namespace harvelo
