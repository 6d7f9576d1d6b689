#include "outside/DesktopActions.h"
#include "outside/PercentCoding.h"

#include "outside/CodePage.h"
#include "outside/HostNames.h"
#include "outside/MessageBox.h"
#include "outside/TempFiles.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <signal.h>
#include <spawn.h>
#include <strings.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char** environ;

namespace {

bool StartsWithNoCase(std::string_view text, const char* prefix) {
  const size_t n = std::strlen(prefix);
  return text.size() >= n && strncasecmp(text.data(), prefix, n) == 0;
}

bool HasAllowedScheme(const CString& address) {
  return StartsWithNoCase(address.view(), "http://") || StartsWithNoCase(address.view(), "https://") ||
         StartsWithNoCase(address.view(), "mailto:") || StartsWithNoCase(address.view(), "tel:") ||
         StartsWithNoCase(address.view(), "sms:");
}

std::string Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

// UTF-8 without control characters (C0, DEL, C1) and without the invisible marks that turn the
// visible order of a text around; allowed lists further C0 characters that may stay (a mail body's
// line breaks).
bool IsCleanText(std::string_view text, const char* allowed = "") {
  if (!IsValidUTF8(text.data(), text.size())) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if ((c < 0x20 && !(c && std::strchr(allowed, c))) || c == 0x7F) return false;
    const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
    const auto third = i + 2 < text.size() ? static_cast<unsigned char>(text[i + 2]) : 0;
    if (c == 0xC2 && next >= 0x80 && next <= 0x9F) return false;
    // U+200B..U+200F, U+202A..U+202E, U+2066..U+2069
    if (c == 0xE2 && next == 0x80 && ((third >= 0x8B && third <= 0x8F) || (third >= 0xAA && third <= 0xAE))) return false;
    if (c == 0xE2 && next == 0x81 && third >= 0xA6 && third <= 0xA9) return false;
  }
  return true;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A host name as an address carries it (ASCII), or empty; idn collects those with "xn--" labels,
// the ones that stand for letters beyond ASCII.
std::string HostFor(const std::string& host, std::vector<std::string>& idn) {
  if (host.empty()) return {};
  std::string ascii = host;
  if (!IsAscii(host)) {
    ascii = AsciiHostName(host).str();
  } else {
    if (AsciiHostName(host).IsEmpty()) return {};
  }
  std::string lower = "." + ascii;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
  if (lower.find(".xn--") != std::string::npos) idn.push_back(ascii);
  return ascii;
}

// "http://", "https://" or "www." and the rest, with the host checked and in its ASCII form.
std::string RebuildWeb(std::string_view text, std::vector<std::string>& idn) {
  const std::string address = Trimmed(text);
  if (!IsCleanText(address) || address.find_first_of(" \t") != std::string::npos) return {};
  std::string scheme, rest;
  if (StartsWithNoCase(address, "http://")) scheme = "http", rest = address.substr(7);
  else if (StartsWithNoCase(address, "https://")) scheme = "https", rest = address.substr(8);
  else if (StartsWithNoCase(address, "www.")) scheme = "http", rest = address;
  else return {};
  const size_t authorityEnd = std::min(rest.find_first_of("/?#"), rest.size());
  const std::string authority = rest.substr(0, authorityEnd);
  const size_t at = authority.rfind('@');
  const std::string user = at == std::string::npos ? std::string() : authority.substr(0, at + 1);
  std::string hostPort = at == std::string::npos ? authority : authority.substr(at + 1);
  std::string host, port;
  if (!hostPort.empty() && hostPort[0] == '[') { // an IPv6 address
    const size_t close = hostPort.find(']');
    if (close == std::string::npos || hostPort.find_first_not_of("0123456789abcdefABCDEF:.", 1) != close) return {};
    host = hostPort.substr(0, close + 1);
    port = hostPort.substr(close + 1);
  } else {
    const size_t colon = hostPort.find(':');
    host = HostFor(hostPort.substr(0, colon), idn);
    port = colon == std::string::npos ? std::string() : hostPort.substr(colon);
    if (host.empty()) return {};
  }
  if (!port.empty() && (port[0] != ':' || port.size() == 1 || port.find_first_not_of("0123456789", 1) != std::string::npos))
    return {};
  return scheme + "://" + user + host + port + rest.substr(authorityEnd);
}

// One recipient, "local@domain", percent-encoded; empty when it is none.
std::string RebuildRecipient(const std::string& recipient, std::vector<std::string>& idn) {
  const std::string address = Trimmed(recipient);
  const size_t at = address.rfind('@');
  if (at == std::string::npos || at == 0 || !IsCleanText(address)) return {};
  const std::string domain = HostFor(address.substr(at + 1), idn);
  if (domain.empty()) return {};
  return PercentEncoded(address.substr(0, at), "!$'*+=") + "@" + domain;
}

// A plain address, or a "mailto:" address of recipients and headers, of which only subject and
// body are kept: a mail program must not be told to attach files or to send copies elsewhere.
std::string RebuildMail(std::string_view text, std::vector<std::string>& idn) {
  const std::string mail = Trimmed(text);
  if (!IsCleanText(mail)) return {};
  std::vector<std::string> recipients;
  std::string headers;
  if (!StartsWithNoCase(mail, "mailto:")) {
    recipients.push_back(RebuildRecipient(mail, idn));
  } else {
    const std::string uri = mail.substr(7);
    const size_t query = std::min(uri.find('?'), uri.size());
    std::string_view to = std::string_view(uri).substr(0, query);
    while (!to.empty()) {
      const size_t comma = std::min(to.find(','), to.size());
      recipients.push_back(RebuildRecipient(PercentDecoded(to.substr(0, comma)), idn));
      to.remove_prefix(std::min(comma + 1, to.size()));
    }
    bool subject = false, body = false;
    std::string_view fields = query < uri.size() ? std::string_view(uri).substr(query + 1) : std::string_view();
    while (!fields.empty()) {
      const size_t amp = std::min(fields.find('&'), fields.size());
      const std::string_view field = fields.substr(0, amp);
      fields.remove_prefix(std::min(amp + 1, fields.size()));
      const size_t eq = field.find('=');
      if (eq == std::string_view::npos) continue;
      const std::string name = PercentDecoded(field.substr(0, eq));
      const std::string value = PercentDecoded(field.substr(eq + 1));
      const bool isSubject = strcasecmp(name.c_str(), "subject") == 0, isBody = strcasecmp(name.c_str(), "body") == 0;
      if ((isSubject && subject) || (isBody && body) || !(isSubject || isBody)) continue;
      if (!IsCleanText(value, isBody ? "\r\n\t" : "")) return {};
      (isSubject ? subject : body) = true;
      headers += headers.empty() ? '?' : '&';
      headers += isSubject ? "subject=" : "body=";
      headers += PercentEncoded(value, "");
    }
  }
  std::string address;
  for (const std::string& recipient : recipients) {
    if (recipient.empty()) return {};
    if (!address.empty()) address += ',';
    address += recipient;
  }
  return address.empty() ? std::string() : "mailto:" + address + headers;
}

// Starts the opener with one argument and reaps it on a thread of its own,
// so a browser that takes its time never holds up the user interface.
bool StartOpener(const CString& address) {
  const char* configured = std::getenv("CODEWERK_OPENER");
  const std::string opener = configured && *configured ? configured : "xdg-open";
  char* argv[] = {const_cast<char*>(opener.c_str()), const_cast<char*>(address.GetString()), nullptr};
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
  pid_t pid = 0;
  const int rc = posix_spawnp(&pid, opener.c_str(), &files, &attributes, argv, environ);
  posix_spawn_file_actions_destroy(&files);
  posix_spawnattr_destroy(&attributes);
  if (rc != 0) {
    CString message;
    message.Format("Die Adresse kann nicht geöffnet werden: das Programm \"%s\" fehlt (%s).\n%s", opener.c_str(),
                   std::strerror(rc), address.GetString());
    AfxMessageBox(message, MB_OK | MB_ICONWARNING);
    return false;
  }
  std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
  return true;
}

bool HandToOpener(const CString& address) {
  if (address.IsEmpty() || !HasAllowedScheme(address) || !IsCleanText(address.view())) return false;
  return StartOpener(address);
}

// International calling codes of the countries an address book names most often.
const std::map<std::string, const char*>& CallingCodes() {
  static const std::map<std::string, const char*> codes = {
      {"de", "+49"}, {"deutschland", "+49"}, {"germany", "+49"}, {"at", "+43"}, {"österreich", "+43"}, {"Österreich", "+43"},
      {"austria", "+43"}, {"ch", "+41"}, {"schweiz", "+41"}, {"switzerland", "+41"}, {"li", "+423"},
      {"liechtenstein", "+423"}, {"fr", "+33"}, {"frankreich", "+33"}, {"france", "+33"}, {"it", "+39"},
      {"italien", "+39"}, {"italy", "+39"}, {"nl", "+31"}, {"niederlande", "+31"}, {"netherlands", "+31"},
      {"be", "+32"}, {"belgien", "+32"}, {"belgium", "+32"}, {"lu", "+352"}, {"luxemburg", "+352"},
      {"us", "+1"}, {"usa", "+1"}, {"united states", "+1"}, {"united states of america", "+1"}, {"ca", "+1"},
      {"canada", "+1"}, {"kanada", "+1"}, {"gb", "+44"}, {"uk", "+44"}, {"united kingdom", "+44"},
      {"großbritannien", "+44"}, {"pl", "+48"}, {"polen", "+48"}, {"poland", "+48"}, {"dk", "+45"},
      {"dänemark", "+45"}, {"denmark", "+45"}, {"es", "+34"}, {"spanien", "+34"}, {"spain", "+34"},
      {"cz", "+420"}, {"tschechien", "+420"}, {"czech republic", "+420"}};
  return codes;
}

// The digits of a number (a leading "+", "*" and "#" too) without its visual separators.
std::string DialledDigits(std::string_view number) {
  std::string digits;
  for (char c : number)
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '*' || c == '#' || (c == '+' && digits.empty())) digits += c;
  return digits;
}

std::string RebuildTelephone(std::string_view text, const CString& diallingContext) {
  std::string number = Trimmed(text);
  if (!IsCleanText(number)) return {};
  if (StartsWithNoCase(number, "tel:")) number = Trimmed(PercentDecoded(number.substr(4)));
  if (!IsCleanText(number)) return {};
  // Parameters: the extension and the context the number is dialled in; nothing else is passed on.
  std::string_view parameters = std::string_view(number).substr(std::min(number.find(';'), number.size()));
  const std::string digits = DialledDigits(std::string_view(number).substr(0, number.find(';')));
  if (digits.empty() || digits == "+") return {};
  std::string address = "tel:" + PercentEncoded(digits, "+*#");
  bool haveContext = false;
  while (!parameters.empty()) {
    parameters.remove_prefix(1);
    const std::string_view parameter = parameters.substr(0, parameters.find(';'));
    parameters.remove_prefix(parameter.size());
    const size_t eq = parameter.find('=');
    const std::string name = Trimmed(parameter.substr(0, eq));
    const std::string value = eq == std::string_view::npos ? std::string() : Trimmed(parameter.substr(eq + 1));
    if (strcasecmp(name.c_str(), "ext") == 0 && !DialledDigits(value).empty()) {
      address += ";ext=" + PercentEncoded(DialledDigits(value), "*#");
    } else if (strcasecmp(name.c_str(), "phone-context") == 0 && !haveContext) {
      std::vector<std::string> ignored;
      const std::string context = !value.empty() && value[0] == '+' ? DialledDigits(value) : HostFor(value, ignored);
      if (context.size() > 1) address += ";phone-context=" + PercentEncoded(context, "+"), haveContext = true;
    }
  }
  if (digits[0] != '+' && !haveContext) {
    CString country = CString(diallingContext).Trim().MakeLower();
    const auto code = CallingCodes().find(country.str());
    if (code != CallingCodes().end()) address += std::string(";phone-context=") + code->second;
  }
  return address;
}

// "sms:number?body=text": the number's digits and the body, decoded and percent-encoded anew.
std::string RebuildSms(std::string_view text) {
  std::string rest = Trimmed(text);
  if (!StartsWithNoCase(rest, "sms:") || !IsCleanText(rest)) return {};
  rest.erase(0, 4);
  const size_t question = rest.find('?');
  const std::string digits = DialledDigits(PercentDecoded(std::string_view(rest).substr(0, question)));
  if (digits.empty() || digits == "+") return {};
  std::string address = "sms:" + PercentEncoded(digits, "+*#");
  std::string_view query = question == std::string::npos ? std::string_view() : std::string_view(rest).substr(question + 1);
  while (!query.empty()) {
    const std::string_view pair = query.substr(0, query.find('&'));
    query.remove_prefix(std::min(query.size(), pair.size() + 1));
    if (!StartsWithNoCase(pair, "body=")) continue;
    const std::string body = PercentDecoded(pair.substr(5));
    if (!IsCleanText(body, "\n\r\t")) return {};
    address += "?body=" + PercentEncoded(body);
    break;
  }
  return address;
}

std::string RebuildAny(std::string_view text, std::vector<std::string>& idn) {
  const std::string trimmed = Trimmed(text);
  if (StartsWithNoCase(trimmed, "sms:")) return RebuildSms(trimmed);
  if (StartsWithNoCase(trimmed, "mailto:")) return RebuildMail(trimmed, idn);
  if (StartsWithNoCase(trimmed, "tel:")) return RebuildTelephone(trimmed, CString());
  return RebuildWeb(trimmed, idn);
}

} // namespace

CString WebAddressFor(const CString& address) {
  std::vector<std::string> idn;
  return RebuildWeb(address.view(), idn);
}

CString MailAddressFor(const CString& address) {
  std::vector<std::string> idn;
  return RebuildMail(address.view(), idn);
}

CString TelephoneAddressFor(const CString& text, const CString& diallingContext) {
  return RebuildTelephone(text.view(), diallingContext);
}

CString DesktopAddressFor(const CString& text) {
  std::vector<std::string> idn;
  return RebuildAny(text.view(), idn);
}

CString PunycodeHostsOf(const CString& text) {
  std::vector<std::string> idn;
  if (RebuildAny(text.view(), idn).empty()) return CString();
  std::string hosts;
  for (const std::string& host : idn) hosts += (hosts.empty() ? "" : ", ") + host;
  return hosts;
}

bool GoToInternet(const CString& address) { return HandToOpener(WebAddressFor(address)); }

bool OpenLink(const CString& address) { return HandToOpener(WebAddressFor(address)); }

bool SendMail(const CString& address, const char*) { return HandToOpener(MailAddressFor(address)); }

bool TelefonnummerAnrufen(const CString& number, const CString& diallingContext) {
  return HandToOpener(TelephoneAddressFor(number, diallingContext));
}

bool OpenAddress(const CString& address) { return HandToOpener(DesktopAddressFor(address)); }

CString SmsAddressFor(const CString& address) { return RebuildSms(address.view()); }

bool OpenOwnFile(const CString& path) {
  char folder[MAX_PATH];
  if (!GetTempPathA(MAX_PATH, folder) || path.view().substr(0, std::strlen(folder)) != folder) return false;
  if (path.view().find("/..") != std::string_view::npos || !IsCleanText(path.view())) return false;
  return StartOpener(path);
}
