// The forms of "Erstellen" for the kinds of text phones act on: their fields, the text their
// values make, and the values a text they made gives back (a form reopens from its text).
#pragma once

#include "CodewerkExport.h"

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TypedForm { Wlan, EMail, Sms, Telefon, Ort, Termin, MeCard };

struct FormField {
  std::string name;  // the control's name
  std::string label; // German, as shown
  bool multiline = false;
  bool check = false;                 // a check box: "1" or "0"
  std::vector<std::string> choices = {}; // a choice: one of these
};

using FormValues = std::map<std::string, std::string>;

CODEWERK_EXPORT const std::vector<TypedForm>& AllTypedForms();
CODEWERK_EXPORT const char* FormTitle(TypedForm form);
CODEWERK_EXPORT std::vector<FormField> FormFields(TypedForm form);
// The form a text of one of the kinds belongs to.
CODEWERK_EXPORT std::optional<TypedForm> FormOfText(std::string_view text);
// The values a text of this form's kind holds; empty (defaults) for any other text.
CODEWERK_EXPORT FormValues FormValuesFromText(TypedForm form, std::string_view text);
// The text the values make, or nothing with the German reason in error.
CODEWERK_EXPORT std::optional<std::string> TextFromFormValues(TypedForm form, const FormValues& values, std::string& error);
