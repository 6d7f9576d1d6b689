// What the "Ergebnis" dialog makes of a decoded text, worked out without any window: groups of
// entries, each either plain text or a link with the address its click hands to the desktop.
#pragma once

#include "CodewerkExport.h"
#include "outside/CString.h"
#include "outside/TaskIcons.h"

#include <optional>
#include <vector>

class CBasisKundeDatenbankEintrag;
class CKundeAlsAnschrift;

// What a click on an entry does besides handing its address on.
enum ResultAction : int {
  ResultAction_Open = 0, // the address to the opener
  ResultAction_Copy,     // payload to the clipboard (a WLAN password)
  ResultAction_Calendar, // payload, an iCalendar event we wrote, to the desktop's calendar
};

struct ResultEntry {
  CString text;    // as shown
  int icon = TaskIcon_None;
  CString address; // what a click hands to the opener (DesktopActions.h); empty for plain text
  int action = ResultAction_Open;
  CString payload = {};
  friend bool operator==(const ResultEntry&, const ResultEntry&) = default;
};

struct ResultGroup {
  CString caption;
  std::vector<ResultEntry> entries;
  CString wholeText; // the decoded text, to copy; on the first group of each result only
  friend bool operator==(const ResultGroup&, const ResultGroup&) = default;
};

// A vCard: its address group (when it has a postal address) and "Kommunikation". WLAN, geo,
// Termin, MeCard and SMS texts: their own groups (TypedResults.h). Any other text: a group
// captioned with the symbology name and an entry per line (GetLinkForLine).
CODEWERK_EXPORT std::vector<ResultGroup> ClassifyDecodeResult(const CString& text, const CString& symbol);

// The entries of a contact's communication fields, "label: value"; none for an empty value. An
// address that cannot be handed on (see DesktopActions.h) is shown as plain text.
CODEWERK_EXPORT std::optional<ResultEntry> TelephoneEntry(const CString& label, const CString& number,
                                                          const CString& context, int icon);
CODEWERK_EXPORT std::optional<ResultEntry> FaxEntry(const CString& label, const CString& number);
CODEWERK_EXPORT std::optional<ResultEntry> MailEntry(const CString& label, const CString& address);
CODEWERK_EXPORT std::optional<ResultEntry> WebEntry(const CString& label, const CString& address);
// A line of a decoded text that is no vCard.
CODEWERK_EXPORT ResultEntry LineEntry(const CString& line, const CString& symbol);
// The postal address group (none without lines) and the communication group of a contact.
CODEWERK_EXPORT std::optional<ResultGroup> AddressGroup(const CString& caption, const CKundeAlsAnschrift& address);
CODEWERK_EXPORT ResultGroup CommunicationGroup(const CBasisKundeDatenbankEintrag& record);
