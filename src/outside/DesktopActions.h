// Handing addresses to the desktop: the opener (xdg-open) is started with the address as its one
// argument, never through a shell, and not waited for. Only web, mail and telephone addresses are
// handed on. CODEWERK_OPENER in the environment names another opener (tests record with it).
#pragma once

#include "CString.h"

// Opens a web address ("www." gets "http://"; in a line with other words, the address in it).
bool GoToInternet(const CString& address);
bool OpenLink(const CString& address);
// Writes a mail to the address (mailto:, the address percent-encoded).
bool SendMail(const CString& address, const char* attachment = nullptr);
// Dials the number (tel:). A number without its international prefix gets the country's calling
// code as phone context when the dialling context names a country this library knows.
bool TelefonnummerAnrufen(const CString& number, const CString& diallingContext);

// The address as it would be handed to the opener, or empty when it is not one to hand on.
CString WebAddressFor(const CString& address);
CString MailAddressFor(const CString& address);
CString TelephoneAddressFor(const CString& number, const CString& diallingContext);
