#include "outside/DesktopActions.h"

#include "outside/MessageBox.h"
#include "outside/TextServices.h"

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

extern char** environ;

namespace {

bool StartsWithNoCase(const CString& text, const char* prefix) {
  return strncasecmp(text.GetString(), prefix, std::strlen(prefix)) == 0;
}

bool HasAllowedScheme(const CString& address) {
  return StartsWithNoCase(address, "http://") || StartsWithNoCase(address, "https://") ||
         StartsWithNoCase(address, "mailto:") || StartsWithNoCase(address, "tel:");
}

// Percent-encodes every byte outside the unreserved characters and those in keep.
CString PercentEncoded(const CString& text, const char* keep) {
  static const char* hex = "0123456789ABCDEF";
  CString out;
  for (unsigned char c : text.view()) {
    if (std::isalnum(c) || std::strchr("-._~", c) || (c && std::strchr(keep, c))) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

// Starts the opener with the address as its only argument and reaps it on a thread of its own,
// so a browser that takes its time never holds up the user interface.
bool HandToOpener(const CString& address) {
  if (address.IsEmpty() || !HasAllowedScheme(address)) return false;
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

} // namespace

CString WebAddressFor(const CString& address) {
  CString line = CString(address).Trim();
  if (HasAllowedScheme(line)) return line;
  if (StartsWithNoCase(line, "www.")) return "http://" + line;
  // Words around the address: the address is the word that holds it.
  CStringArray words;
  CString spaced = line;
  spaced.Replace('\t', ' ');
  BreakLine(spaced, words, " ");
  for (const CString& word : words)
    if (StartsWithNoCase(word, "http://") || StartsWithNoCase(word, "https://")) return word;
    else if (StartsWithNoCase(word, "www.")) return "http://" + word;
  return CString();
}

CString MailAddressFor(const CString& address) {
  CString mail = CString(address).Trim();
  if (StartsWithNoCase(mail, "mailto:")) mail = mail.Mid(7);
  if (mail.IsEmpty()) return CString();
  return "mailto:" + PercentEncoded(mail, "@!$'*+,;=");
}

CString TelephoneAddressFor(const CString& text, const CString& diallingContext) {
  // The number without its visual separators and blanks; parameters (";ext=102") stay.
  const CString trimmed = CString(text).Trim();
  const int parameters = trimmed.Find(';');
  const CString number = parameters < 0 ? trimmed : trimmed.Left(parameters);
  CString digits;
  for (char c : number.view())
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '*' || c == '#') digits += c;
  if (digits.IsEmpty()) return CString();
  CString address = "tel:" + PercentEncoded(digits, "+*#");
  if (parameters >= 0) address += PercentEncoded(trimmed.Mid(parameters), ";=");
  if (digits.GetAt(0) != '+') {
    CString country = CString(diallingContext).Trim().MakeLower();
    const auto code = CallingCodes().find(country.str());
    if (code != CallingCodes().end()) address += CString(";phone-context=") + code->second;
  }
  return address;
}

bool GoToInternet(const CString& address) { return HandToOpener(WebAddressFor(address)); }

bool OpenLink(const CString& address) { return HandToOpener(WebAddressFor(address)); }

bool SendMail(const CString& address, const char*) { return HandToOpener(MailAddressFor(address)); }

bool TelefonnummerAnrufen(const CString& number, const CString& diallingContext) {
  return HandToOpener(TelephoneAddressFor(number, diallingContext));
}
