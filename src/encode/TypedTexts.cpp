#include "encode/TypedTexts.h"

#include "outside/PercentCoding.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <utility>
#include <vector>

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && strncasecmp(text.data(), prefix.data(), prefix.size()) == 0;
}

std::string Escaped(std::string_view value, const char* special) {
  std::string out;
  for (char c : value) {
    if (std::strchr(special, c) && c) out += '\\';
    out += c;
  }
  return out;
}

// "KEY:value;KEY:value;;" into (key, value) pairs, backslash escapes undone.
std::vector<std::pair<std::string, std::string>> Fields(std::string_view body) {
  std::vector<std::pair<std::string, std::string>> fields;
  std::string key, value;
  bool inKey = true, escaped = false;
  auto finish = [&] {
    if (!key.empty()) fields.emplace_back(key, value);
    key.clear(), value.clear(), inKey = true;
  };
  for (char c : body) {
    if (escaped) {
      (inKey ? key : value) += c, escaped = false;
    } else if (c == '\\') {
      escaped = true;
    } else if (c == ';') {
      finish();
    } else if (c == ':' && inKey) {
      inKey = false;
    } else {
      (inKey ? key : value) += c;
    }
  }
  finish();
  return fields;
}

bool IsHex(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

std::string Number(double value) {
  char buffer[64];
  const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
  std::string text(buffer, error == std::errc() ? end : buffer);
  while (text.find('.') != std::string::npos && (text.back() == '0' || text.back() == '.')) {
    const bool dot = text.back() == '.';
    text.pop_back();
    if (dot) break;
  }
  return text;
}

std::optional<double> ParseNumber(std::string_view text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

// iCalendar TEXT values: backslash, semicolon, comma and line breaks escaped.
std::string IcsEscaped(std::string_view value) {
  std::string out;
  for (char c : value) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') continue;
    else {
      if (c == '\\' || c == ';' || c == ',') out += '\\';
      out += c;
    }
  }
  return out;
}

std::string IcsUnescaped(std::string_view value) {
  std::string out;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '\\' && i + 1 < value.size()) {
      const char next = value[++i];
      out += next == 'n' || next == 'N' ? '\n' : next;
    } else {
      out += value[i];
    }
  }
  return out;
}

std::string UtcStamp(std::time_t time) { return TimeText(time, "%Y%m%dT%H%M%SZ", true); }

std::optional<std::time_t> ParseUtcStamp(std::string_view text) {
  std::tm parts{};
  char zone = 0;
  if (std::sscanf(std::string(text).c_str(), "%4d%2d%2dT%2d%2d%2d%c", &parts.tm_year, &parts.tm_mon, &parts.tm_mday,
                  &parts.tm_hour, &parts.tm_min, &parts.tm_sec, &zone) != 7 || zone != 'Z')
    return std::nullopt;
  parts.tm_year -= 1900, parts.tm_mon -= 1;
  return timegm(&parts);
}

std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

} // namespace

std::string WlanText(const WlanFields& f) {
  constexpr const char* kSpecial = "\\;,:\"";
  const std::string ssid = IsHex(f.ssid) ? "\"" + f.ssid + "\"" : Escaped(f.ssid, kSpecial);
  std::string text = "WIFI:T:" + (f.security.empty() ? std::string("nopass") : f.security) + ";S:" + ssid + ";";
  if (f.security != "nopass" && !f.password.empty()) text += "P:" + Escaped(f.password, kSpecial) + ";";
  if (f.hidden) text += "H:true;";
  return text + ";";
}

std::optional<WlanFields> ReadWlanText(std::string_view text) {
  if (!StartsWithNoCase(text, "WIFI:")) return std::nullopt;
  WlanFields f;
  f.security = "nopass";
  bool named = false;
  for (auto& [key, value] : Fields(text.substr(5))) {
    if (key == "T") f.security = value.empty() ? "nopass" : value;
    else if (key == "S") f.ssid = value.size() >= 2 && value.front() == '"' && value.back() == '"' ? value.substr(1, value.size() - 2) : value, named = true;
    else if (key == "P") f.password = value.size() >= 2 && value.front() == '"' && value.back() == '"' ? value.substr(1, value.size() - 2) : value;
    else if (key == "H") f.hidden = strcasecmp(value.c_str(), "true") == 0;
  }
  if (!named) return std::nullopt;
  return f;
}

std::string MailText(const MailFields& f) {
  std::string text = "mailto:" + PercentEncoded(f.to, "@!$'*+=,");
  std::string query;
  if (!f.subject.empty()) query += "subject=" + PercentEncoded(f.subject);
  if (!f.body.empty()) query += std::string(query.empty() ? "" : "&") + "body=" + PercentEncoded(f.body);
  return query.empty() ? text : text + "?" + query;
}

std::optional<MailFields> ReadMailText(std::string_view text) {
  if (!StartsWithNoCase(text, "mailto:")) return std::nullopt;
  text.remove_prefix(7);
  MailFields f;
  const std::size_t question = text.find('?');
  f.to = PercentDecoded(text.substr(0, question));
  if (question == std::string_view::npos) return f;
  std::string_view query = text.substr(question + 1);
  while (!query.empty()) {
    const std::size_t amp = query.find('&');
    const std::string_view pair = query.substr(0, amp);
    const std::size_t eq = pair.find('=');
    const std::string name = std::string(pair.substr(0, eq));
    const std::string value = eq == std::string_view::npos ? std::string() : PercentDecoded(pair.substr(eq + 1));
    if (strcasecmp(name.c_str(), "subject") == 0) f.subject = value;
    else if (strcasecmp(name.c_str(), "body") == 0) f.body = value;
    if (amp == std::string_view::npos) break;
    query.remove_prefix(amp + 1);
  }
  return f;
}

std::string SmsText(const SmsFields& f) { return "SMSTO:" + f.number + ":" + f.text; }

std::optional<SmsFields> ReadSmsText(std::string_view text) {
  SmsFields f;
  if (StartsWithNoCase(text, "SMSTO:")) {
    text.remove_prefix(6);
    const std::size_t colon = text.find(':');
    f.number = std::string(text.substr(0, colon));
    if (colon != std::string_view::npos) f.text = std::string(text.substr(colon + 1));
    return f;
  }
  if (!StartsWithNoCase(text, "sms:")) return std::nullopt;
  text.remove_prefix(4);
  const std::size_t question = text.find('?');
  f.number = PercentDecoded(text.substr(0, question));
  if (question != std::string_view::npos && StartsWithNoCase(text.substr(question + 1), "body="))
    f.text = PercentDecoded(text.substr(question + 6));
  return f;
}

std::string PhoneText(const std::string& number) {
  std::string compact;
  for (char c : number)
    if (!std::isspace(static_cast<unsigned char>(c))) compact += c;
  return "tel:" + PercentEncoded(compact, "+*()/;=");
}

std::optional<std::string> ReadPhoneText(std::string_view text) {
  if (!StartsWithNoCase(text, "tel:")) return std::nullopt;
  return PercentDecoded(text.substr(4));
}

std::string GeoText(const GeoFields& f) { return "geo:" + Number(f.latitude) + "," + Number(f.longitude); }

std::string CoordinateText(double degrees) { return Number(degrees); }

std::string TimeText(std::time_t time, const char* format, bool utc) {
  std::tm parts{};
  utc ? gmtime_r(&time, &parts) : localtime_r(&time, &parts);
  char buffer[64];
  return std::strftime(buffer, sizeof buffer, format, &parts) ? buffer : "";
}

std::string LocalDateTimeText(std::time_t time) { return time ? TimeText(time, "%d.%m.%Y %H:%M", false) : std::string(); }

std::optional<GeoFields> ReadGeoText(std::string_view text) {
  if (!StartsWithNoCase(text, "geo:")) return std::nullopt;
  text.remove_prefix(4);
  text = text.substr(0, text.find_first_of(";?")); // altitude, parameters and queries are not kept
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  std::string_view longitude = text.substr(comma + 1);
  longitude = longitude.substr(0, longitude.find(','));
  const auto lat = ParseNumber(text.substr(0, comma)), lon = ParseNumber(longitude);
  if (!lat || !lon || std::abs(*lat) > 90 || std::abs(*lon) > 180) return std::nullopt;
  return GeoFields{*lat, *lon};
}

std::string TerminText(const TerminFields& f) {
  std::string text = "BEGIN:VEVENT\r\nSUMMARY:" + IcsEscaped(f.summary) + "\r\nDTSTART:" + UtcStamp(f.start) + "\r\n";
  if (f.end) text += "DTEND:" + UtcStamp(f.end) + "\r\n";
  if (!f.location.empty()) text += "LOCATION:" + IcsEscaped(f.location) + "\r\n";
  if (!f.description.empty()) text += "DESCRIPTION:" + IcsEscaped(f.description) + "\r\n";
  return text + "END:VEVENT";
}

std::optional<TerminFields> ReadTerminText(std::string_view text) {
  const std::vector<std::string_view> lines = Lines(text);
  if (lines.empty() || lines.front() != "BEGIN:VEVENT") return std::nullopt;
  TerminFields f;
  bool started = false;
  for (std::string_view line : lines) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view name = line.substr(0, colon);
    name = name.substr(0, name.find(';')); // parameters such as ";VALUE=DATE-TIME"
    const std::string_view value = line.substr(colon + 1);
    if (name == "SUMMARY") f.summary = IcsUnescaped(value);
    else if (name == "LOCATION") f.location = IcsUnescaped(value);
    else if (name == "DESCRIPTION") f.description = IcsUnescaped(value);
    else if (name == "DTSTART") {
      const auto start = ParseUtcStamp(value);
      if (!start) return std::nullopt;
      f.start = *start, started = true;
    } else if (name == "DTEND") {
      const auto end = ParseUtcStamp(value);
      if (!end) return std::nullopt;
      f.end = *end;
    }
  }
  if (!started) return std::nullopt;
  return f;
}

std::string MeCardText(const MeCardFields& f) {
  constexpr const char* kSpecial = "\\;:,";
  std::string text = "MECARD:";
  const std::pair<const char*, const std::string*> parts[] = {{"N", &f.name},   {"TEL", &f.phone}, {"EMAIL", &f.email},
                                                              {"ADR", &f.address}, {"URL", &f.url}, {"NOTE", &f.note}};
  for (const auto& [key, value] : parts)
    if (!value->empty()) text += std::string(key) + ":" + Escaped(*value, kSpecial) + ";";
  return text + ";";
}

std::optional<MeCardFields> ReadMeCardText(std::string_view text) {
  if (!StartsWithNoCase(text, "MECARD:")) return std::nullopt;
  MeCardFields f;
  for (auto& [key, value] : Fields(text.substr(7))) {
    if (key == "N") f.name = value;
    else if (key == "TEL") f.phone = value;
    else if (key == "EMAIL") f.email = value;
    else if (key == "ADR") f.address = value;
    else if (key == "URL") f.url = value;
    else if (key == "NOTE") f.note = value;
  }
  return f;
}
