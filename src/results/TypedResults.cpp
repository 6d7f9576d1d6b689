#include "results/TypedResults.h"

#include "encode/TypedTexts.h"
#include "outside/DesktopActions.h"
#include "outside/PercentCoding.h"


namespace {

ResultEntry Plain(const CString& label, const std::string& value) { return {label + ": " + CString(value.c_str()), TaskIcon_None, {}}; }

std::vector<ResultGroup> Wlan(const WlanFields& wlan, const CString& symbol) {
  ResultGroup group{"WLAN " + symbol, {}, {}};
  group.entries.push_back(Plain("Netzwerk", wlan.ssid));
  group.entries.push_back(Plain("Verschlüsselung", wlan.security == "nopass" ? "keine" : wlan.security));
  if (wlan.hidden) group.entries.push_back({"Verborgenes Netzwerk", TaskIcon_None, {}});
  if (!wlan.password.empty() && wlan.security != "nopass")
    group.entries.push_back({"Passwort kopieren", TaskIcon_None, {}, ResultAction_Copy, wlan.password.c_str()});
  return {group};
}

std::vector<ResultGroup> Geo(const GeoFields& geo, const CString& symbol) {
  ResultGroup group{"Ort " + symbol, {}, {}};
  const CString shown = ("Ort: " + CoordinateText(geo.latitude) + ", " + CoordinateText(geo.longitude) + " (Karte)").c_str();
  group.entries.push_back({shown, TaskIcon_Internet, MapAddressFor(geo.latitude, geo.longitude)});
  return {group};
}

std::vector<ResultGroup> Termin(const TerminFields& termin, const CString& symbol) {
  ResultGroup group{"Termin " + symbol, {}, {}};
  group.entries.push_back(Plain("Termin", termin.summary));
  group.entries.push_back(Plain("Beginn", LocalDateTimeText(termin.start)));
  if (termin.end) group.entries.push_back(Plain("Ende", LocalDateTimeText(termin.end)));
  if (!termin.location.empty()) group.entries.push_back(Plain("Ort", termin.location));
  // The event as we write it, from its parsed fields: nothing of the code's own lines goes on.
  group.entries.push_back({"In den Kalender übernehmen", TaskIcon_None, {}, ResultAction_Calendar, TerminText(termin).c_str()});
  return {group};
}

std::vector<ResultGroup> MeCard(const MeCardFields& card, const CString& symbol) {
  ResultGroup person{"MeCard " + symbol, {}, {}};
  if (!card.name.empty()) person.entries.push_back({card.name.c_str(), TaskIcon_None, {}});
  if (!card.address.empty()) person.entries.push_back({card.address.c_str(), TaskIcon_None, {}});
  if (!card.note.empty()) person.entries.push_back(Plain("Notiz", card.note));
  ResultGroup contact{"Kommunikation", {}, {}};
  if (auto phone = TelephoneEntry("Tel", card.phone.c_str(), CString(), TaskIcon_Telefon)) contact.entries.push_back(*phone);
  if (auto mail = MailEntry("EMail", card.email.c_str())) contact.entries.push_back(*mail);
  if (auto web = WebEntry("Internet", card.url.c_str())) contact.entries.push_back(*web);
  std::vector<ResultGroup> groups;
  if (!person.entries.empty()) groups.push_back(person);
  groups.push_back(contact);
  return groups;
}

std::vector<ResultGroup> Sms(const SmsFields& sms, const CString& symbol) {
  ResultGroup group{symbol, {}, {}};
  const CString address = SmsAddressFor(("sms:" + PercentEncoded(sms.number, "+") + "?body=" + PercentEncoded(sms.text)).c_str());
  group.entries.push_back({("SMS an " + sms.number).c_str(), TaskIcon_Mobil, address});
  if (!sms.text.empty()) group.entries.push_back(Plain("Text", sms.text));
  return {group};
}

} // namespace

CString MapAddressFor(double latitude, double longitude) {
  const std::string lat = CoordinateText(latitude), lon = CoordinateText(longitude);
  return WebAddressFor(("https://www.openstreetmap.org/?mlat=" + lat + "&mlon=" + lon + "#map=17/" + lat + "/" + lon).c_str());
}

std::optional<std::vector<ResultGroup>> ClassifyTypedText(const CString& text, const CString& symbol) {
  const std::string_view view = text.view();
  if (auto wlan = ReadWlanText(view)) return Wlan(*wlan, symbol);
  if (auto geo = ReadGeoText(view)) return Geo(*geo, symbol);
  if (auto termin = ReadTerminText(view)) return Termin(*termin, symbol);
  if (auto card = ReadMeCardText(view)) return MeCard(*card, symbol);
  if (auto sms = ReadSmsText(view)) return Sms(*sms, symbol);
  return std::nullopt;
}
