// Handing addresses to the desktop: the opener (xdg-open) is started with the address as its one
// argument, never through a shell, and not waited for. Only web, mail, telephone and SMS addresses are
// handed on, each rebuilt from its parts first; a text with control characters or bytes that are
// not UTF-8 is no address. CODEWERK_OPENER in the environment names another opener (tests record
// with it).
#pragma once

#include "CString.h"

// Opens a web address ("http://", "https://", or "www.", which gets "http://").
bool GoToInternet(const CString& address);
bool OpenLink(const CString& address);
// Writes a mail: to a plain address, or as a "mailto:" address asks (only its subject and body).
bool SendMail(const CString& address, const char* attachment = nullptr);
// Dials the number (tel:). A number without its international prefix gets the country's calling
// code as phone context when the dialling context names a country this library knows.
bool TelefonnummerAnrufen(const CString& number, const CString& diallingContext);
// Hands on an address as the ...AddressFor functions below make them; false for any other text.
bool OpenAddress(const CString& address);
// Opens a file this process wrote into its private temporary folder (a calendar entry), by its
// path; any other path is refused. Never for an address that came from a code.
bool OpenOwnFile(const CString& path);

// The address as it would be handed to the opener, or empty when it is not one to hand on.
// Web: scheme in lower case, a host with letters beyond ASCII in its "xn--" form.
CString WebAddressFor(const CString& address);
// Mail: the recipients and the "subject" and "body" headers, decoded and percent-encoded anew;
// every other header is dropped.
CString MailAddressFor(const CString& address);
// Telephone: the digits (and + * #) of the number, with its "ext" and "phone-context" only.
CString TelephoneAddressFor(const CString& number, const CString& diallingContext);
// SMS: "sms:" with the number's digits and its "body", decoded and percent-encoded anew.
CString SmsAddressFor(const CString& address);
// Whichever of these the text's scheme ("www." counts as web) calls for.
CString DesktopAddressFor(const CString& text);
// The web host or mail domains of an address that stand for letters beyond ASCII ("xn--"
// labels), as the address carries them, joined by ", "; empty when there are none.
CString PunycodeHostsOf(const CString& address);
