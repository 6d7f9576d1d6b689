#include "encode/TypedForms.h"

#include "encode/TypedTexts.h"

#include <charconv>
#include <cstdio>

namespace {

const char* const kSecurity[] = {"WPA/WPA2", "WEP", "keine"};

std::string Get(const FormValues& values, const char* name) {
  const auto found = values.find(name);
  return found == values.end() ? std::string() : found->second;
}

// "TT.MM.JJJJ HH:MM" in local time.
std::optional<std::time_t> LocalTime(const std::string& text) {
  std::tm parts{};
  char rest = 0;
  if (std::sscanf(text.c_str(), "%d.%d.%d %d:%d%c", &parts.tm_mday, &parts.tm_mon, &parts.tm_year, &parts.tm_hour,
                  &parts.tm_min, &rest) != 5)
    return std::nullopt;
  if (parts.tm_mon < 1 || parts.tm_mon > 12 || parts.tm_mday < 1 || parts.tm_mday > 31 || parts.tm_hour > 23 || parts.tm_min > 59)
    return std::nullopt;
  parts.tm_year -= 1900, parts.tm_mon -= 1, parts.tm_isdst = -1;
  const std::time_t time = std::mktime(&parts);
  return time == -1 ? std::nullopt : std::optional(time);
}

std::optional<double> Degrees(std::string text, double limit) {
  for (char& c : text)
    if (c == ',') c = '.'; // as Germans write it
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < -limit || value > limit) return std::nullopt;
  return value;
}

} // namespace

const std::vector<TypedForm>& AllTypedForms() {
  static const std::vector<TypedForm> forms = {TypedForm::Wlan, TypedForm::EMail, TypedForm::Sms, TypedForm::Telefon,
                                               TypedForm::Ort,  TypedForm::Termin, TypedForm::MeCard};
  return forms;
}

const char* FormTitle(TypedForm form) {
  switch (form) {
    case TypedForm::Wlan: return "WLAN";
    case TypedForm::EMail: return "E-Mail";
    case TypedForm::Sms: return "SMS";
    case TypedForm::Telefon: return "Telefon";
    case TypedForm::Ort: return "Ort";
    case TypedForm::Termin: return "Termin";
    case TypedForm::MeCard: return "MeCard";
  }
  return "";
}

std::vector<FormField> FormFields(TypedForm form) {
  switch (form) {
    case TypedForm::Wlan:
      return {{"SSID", "Netzwerkname (SSID)"}, {"Verschluesselung", "Verschlüsselung", false, false, {kSecurity, kSecurity + 3}},
              {"Passwort", "Passwort"}, {"Verborgen", "Verborgenes Netzwerk", false, true}};
    case TypedForm::EMail: return {{"An", "An"}, {"Betreff", "Betreff"}, {"Nachricht", "Nachricht", true}};
    case TypedForm::Sms: return {{"Nummer", "Nummer"}, {"Nachricht", "Nachricht", true}};
    case TypedForm::Telefon: return {{"Nummer", "Nummer"}};
    case TypedForm::Ort: return {{"Breitengrad", "Breitengrad"}, {"Laengengrad", "Längengrad"}};
    case TypedForm::Termin:
      return {{"Titel", "Titel"}, {"Beginn", "Beginn (TT.MM.JJJJ HH:MM)"}, {"Ende", "Ende (TT.MM.JJJJ HH:MM)"},
              {"Ort", "Ort"}, {"Beschreibung", "Beschreibung", true}};
    case TypedForm::MeCard:
      return {{"Name", "Name"}, {"Telefon", "Telefon"}, {"EMail", "E-Mail"}, {"Adresse", "Adresse"},
              {"Internet", "Internet"}, {"Notiz", "Notiz", true}};
  }
  return {};
}

std::optional<TypedForm> FormOfText(std::string_view text) {
  if (ReadWlanText(text)) return TypedForm::Wlan;
  if (ReadMailText(text)) return TypedForm::EMail;
  if (ReadSmsText(text)) return TypedForm::Sms;
  if (ReadPhoneText(text)) return TypedForm::Telefon;
  if (ReadGeoText(text)) return TypedForm::Ort;
  if (ReadTerminText(text)) return TypedForm::Termin;
  if (ReadMeCardText(text)) return TypedForm::MeCard;
  return std::nullopt;
}

FormValues FormValuesFromText(TypedForm form, std::string_view text) {
  switch (form) {
    case TypedForm::Wlan:
      if (auto w = ReadWlanText(text))
        return {{"SSID", w->ssid}, {"Verschluesselung", w->security == "WEP" ? "WEP" : w->security == "nopass" ? "keine" : "WPA/WPA2"},
                {"Passwort", w->password}, {"Verborgen", w->hidden ? "1" : "0"}};
      return {{"Verschluesselung", "WPA/WPA2"}, {"Verborgen", "0"}};
    case TypedForm::EMail:
      if (auto m = ReadMailText(text)) return {{"An", m->to}, {"Betreff", m->subject}, {"Nachricht", m->body}};
      break;
    case TypedForm::Sms:
      if (auto s = ReadSmsText(text)) return {{"Nummer", s->number}, {"Nachricht", s->text}};
      break;
    case TypedForm::Telefon:
      if (auto t = ReadPhoneText(text)) return {{"Nummer", *t}};
      break;
    case TypedForm::Ort:
      if (auto g = ReadGeoText(text)) return {{"Breitengrad", CoordinateText(g->latitude)}, {"Laengengrad", CoordinateText(g->longitude)}};
      break;
    case TypedForm::Termin:
      if (auto t = ReadTerminText(text))
        return {{"Titel", t->summary}, {"Beginn", LocalDateTimeText(t->start)}, {"Ende", LocalDateTimeText(t->end)}, {"Ort", t->location},
                {"Beschreibung", t->description}};
      break;
    case TypedForm::MeCard:
      if (auto c = ReadMeCardText(text))
        return {{"Name", c->name}, {"Telefon", c->phone}, {"EMail", c->email}, {"Adresse", c->address}, {"Internet", c->url},
                {"Notiz", c->note}};
      break;
  }
  return {};
}

std::optional<std::string> TextFromFormValues(TypedForm form, const FormValues& v, std::string& error) {
  error.clear(); // a host may hand in the string of an earlier refusal
  auto need = [&](const char* name, const char* label) {
    if (Get(v, name).empty()) error = std::string("Bitte „") + label + "“ angeben.";
    return error.empty();
  };
  switch (form) {
    case TypedForm::Wlan: {
      if (!need("SSID", "Netzwerkname (SSID)")) return std::nullopt;
      const std::string shown = Get(v, "Verschluesselung");
      const std::string security = shown == "WEP" ? "WEP" : shown == "keine" ? "nopass" : "WPA";
      if (security != "nopass" && !need("Passwort", "Passwort")) return std::nullopt;
      return WlanText({Get(v, "SSID"), security, Get(v, "Passwort"), Get(v, "Verborgen") == "1"});
    }
    case TypedForm::EMail:
      if (!need("An", "An")) return std::nullopt;
      return MailText({Get(v, "An"), Get(v, "Betreff"), Get(v, "Nachricht")});
    case TypedForm::Sms:
      if (!need("Nummer", "Nummer")) return std::nullopt;
      return SmsText({Get(v, "Nummer"), Get(v, "Nachricht")});
    case TypedForm::Telefon:
      if (!need("Nummer", "Nummer")) return std::nullopt;
      return PhoneText(Get(v, "Nummer"));
    case TypedForm::Ort: {
      const auto latitude = Degrees(Get(v, "Breitengrad"), 90), longitude = Degrees(Get(v, "Laengengrad"), 180);
      if (!latitude || !longitude) {
        error = "Breitengrad (−90 bis 90) und Längengrad (−180 bis 180) bitte als Zahlen angeben.";
        return std::nullopt;
      }
      return GeoText({*latitude, *longitude});
    }
    case TypedForm::Termin: {
      if (!need("Titel", "Titel")) return std::nullopt;
      const auto start = LocalTime(Get(v, "Beginn"));
      const auto end = Get(v, "Ende").empty() ? std::optional<std::time_t>(0) : LocalTime(Get(v, "Ende"));
      if (!start || !end) {
        error = "Beginn und Ende bitte als TT.MM.JJJJ HH:MM angeben.";
        return std::nullopt;
      }
      if (*end && *end < *start) {
        error = "Das Ende liegt vor dem Beginn.";
        return std::nullopt;
      }
      return TerminText({Get(v, "Titel"), Get(v, "Ort"), Get(v, "Beschreibung"), *start, *end});
    }
    case TypedForm::MeCard:
      if (!need("Name", "Name")) return std::nullopt;
      return MeCardText({Get(v, "Name"), Get(v, "Telefon"), Get(v, "EMail"), Get(v, "Adresse"), Get(v, "Internet"), Get(v, "Notiz")});
  }
  return std::nullopt;
}
