// Texts of the kinds phones act on, written from a form's fields and read back into them, so a
// form can reopen from a text it wrote. Texts are UTF-8.
#pragma once

#include "CodewerkExport.h"

#include <ctime>
#include <optional>
#include <string>
#include <string_view>

struct WlanFields {
  std::string ssid;
  std::string security = "WPA"; // "WPA", "WEP" or "nopass"
  std::string password;
  bool hidden = false;
  bool operator==(const WlanFields&) const = default;
};
struct MailFields {
  std::string to, subject, body;
  bool operator==(const MailFields&) const = default;
};
struct SmsFields {
  std::string number, text;
  bool operator==(const SmsFields&) const = default;
};
struct GeoFields {
  double latitude = 0, longitude = 0;
  bool operator==(const GeoFields&) const = default;
};
struct TerminFields {
  std::string summary, location, description;
  std::time_t start = 0, end = 0; // UTC; end 0: none
  bool operator==(const TerminFields&) const = default;
};
struct MeCardFields {
  std::string name, phone, email, address, url, note;
  bool operator==(const MeCardFields&) const = default;
};

// "WIFI:T:WPA;S:…;P:…;H:true;;" with \ ; , : " escaped and an SSID of hex digits quoted.
CODEWERK_EXPORT std::string WlanText(const WlanFields& fields);
CODEWERK_EXPORT std::optional<WlanFields> ReadWlanText(std::string_view text);
// "mailto:to?subject=…&body=…", percent-encoded.
CODEWERK_EXPORT std::string MailText(const MailFields& fields);
CODEWERK_EXPORT std::optional<MailFields> ReadMailText(std::string_view text);
// "SMSTO:number:text" (and "sms:number?body=text" when read).
CODEWERK_EXPORT std::string SmsText(const SmsFields& fields);
CODEWERK_EXPORT std::optional<SmsFields> ReadSmsText(std::string_view text);
// "tel:number", blanks left out.
CODEWERK_EXPORT std::string PhoneText(const std::string& number);
CODEWERK_EXPORT std::optional<std::string> ReadPhoneText(std::string_view text);
// "geo:latitude,longitude" with six decimals.
CODEWERK_EXPORT std::string GeoText(const GeoFields& fields);
CODEWERK_EXPORT std::optional<GeoFields> ReadGeoText(std::string_view text);
// A bare iCalendar VEVENT, times in UTC ("…T…Z"), as phones scan it.
CODEWERK_EXPORT std::string TerminText(const TerminFields& fields);
CODEWERK_EXPORT std::optional<TerminFields> ReadTerminText(std::string_view text);
// A time as German users read it, "TT.MM.JJJJ HH:MM" in local time; empty for 0.
CODEWERK_EXPORT std::string LocalDateTimeText(std::time_t time);
// time by strftime's format, in UTC or local time.
CODEWERK_EXPORT std::string TimeText(std::time_t time, const char* format, bool utc);
// A coordinate with at most six decimals, without trailing zeros, whatever the locale.
CODEWERK_EXPORT std::string CoordinateText(double degrees);

// "MECARD:N:…;TEL:…;EMAIL:…;ADR:…;URL:…;NOTE:…;;" with \ ; : , escaped.
CODEWERK_EXPORT std::string MeCardText(const MeCardFields& fields);
CODEWERK_EXPORT std::optional<MeCardFields> ReadMeCardText(std::string_view text);
