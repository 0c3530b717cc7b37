#include "inspection.h"

#include "json_writer.h"
#include "run/robots_gate.h"
#include "saved_page.h"

namespace harvelo {

Inspection InspectPage(Text page_html, Text page_url, Registry& registry, UrlService& urls,
                       UserInterface& ui, MediaReach reach) {
  Inspection inspection;
  inspection.harvest_allowed = IsHarvestAllowed(registry, page_html);
  const std::unique_ptr<WebBrowser> page = NewSavedPage(std::move(page_html), std::move(page_url));
  inspection.scan = ScanForMedia(*page, urls, ui, reach);
  const std::vector<Text>& media = inspection.scan.MediaURLs;
  inspection.movies = CountMovies(media, reach);
  inspection.pictures = static_cast<std::int32_t>(media.size()) - 1 - inspection.movies;
  return inspection;
}

void WriteInspectionJson(const Inspection& inspection, std::ostream& out) {
  JsonWriter json(out);
  json.BeginObject();
  json.Key(u"mode");
  json.String(inspection.scan.marker_page ? u"marker" : u"source");
  json.Key(u"links");
  json.BeginArray();
  const LinkSets& sets = inspection.scan.linkSets;
  for (std::size_t j = 1; sets.size() > 1 && j < sets[1].LinkURLs.size(); ++j) {
    json.BeginArray();
    json.String(sets[1].LinkURLs[j]);
    json.String(sets[1].LinkContents[j]);
    json.EndArray();
  }
  json.EndArray();
  json.Key(u"media");
  json.BeginArray();
  const std::vector<Text>& media = inspection.scan.MediaURLs;
  for (std::size_t i = 1; i < media.size(); ++i) json.String(media[i]);
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
