#include "platform/contacts/VCardEditor.h"

#include "platform/contacts/VCardText.h"

namespace platform {
namespace {

bool IsVersion4(const VCardCard& card) { return !card.version.empty() && card.version[0] == '4'; }

bool UsesAppleYearPlaceholder(const VCardProperty& prop) {
  ContactDate old;
  std::string_view value = TrimAscii(prop.value);
  return prop.FindParam("X-APPLE-OMIT-YEAR") != nullptr && value.substr(0, 4) == "1604" &&
         ParseVCardDate(value, "", old);
}

std::string RebuiltLine(const VCardCard& card, const VCardProperty& prop, const ContactDate& date) {
  ContactDate old;
  const bool oldReadable = ParseVCardDate(prop.value, "", old);
  const bool basic = oldReadable ? IsBasicDateForm(prop.value) : IsVersion4(card);
  const bool applePlaceholder = !date.yearKnown && UsesAppleYearPlaceholder(prop);

  std::string line;
  if (!prop.group.empty()) line += prop.group + ".";
  line += prop.rawName;
  for (const auto& param : prop.params) {
    if (param.name == "VALUE" || param.name == "ENCODING" || param.name == "CHARSET") continue;
    if (param.name == "X-APPLE-OMIT-YEAR" && !applePlaceholder) continue;
    line += ";" + param.raw;
  }
  line += ":";
  if (applePlaceholder) {
    ContactDate placeholder = date;
    placeholder.yearKnown = true;
    placeholder.year = CONTACT_YEAR_UNKNOWN;
    line += FormatVCardDate(placeholder, basic);
  } else {
    line += FormatVCardDate(date, basic);
  }
  line += prop.lineBreak.empty() ? card.LineBreak() : prop.lineBreak;
  return line;
}

// A lone CR written right before LF would be read with it as one CR LF break,
// which swallows the (blank) line the LF ends; lines that start with a space
// after it would then continue the line before instead of their own.
bool WouldJoinBreaks(std::string_view before, std::string_view after) {
  return !before.empty() && before.back() == '\r' && !after.empty() && after.front() == '\n';
}

}  // namespace

std::string ReplaceCardDate(std::string_view bytes, const VCardCard& card, ContactDateField field,
                            const ContactDate& date) {
  std::string out;
  const VCardProperty* prop = FindDateProperty(card, field);
  if (prop != nullptr) {
    out.reserve(bytes.size() + 16);
    out.append(bytes.substr(0, prop->begin));
    if (date.IsSet()) {
      out += RebuiltLine(card, *prop, date);
    } else if (WouldJoinBreaks(out, bytes.substr(prop->end))) {
      out += prop->lineBreak;  // an empty line keeps the two breaks apart
    }
    out.append(bytes.substr(prop->end));
    return out;
  }
  if (!date.IsSet()) return std::string(bytes);
  const bool v4 = IsVersion4(card);
  std::string line = field == ContactDateField::Birthday ? "BDAY:" : (v4 ? "ANNIVERSARY:" : "X-ANNIVERSARY:");
  line += FormatVCardDate(date, v4);
  std::string lineBreak = card.LineBreak();
  if (WouldJoinBreaks(lineBreak, bytes.substr(card.endLineBegin))) lineBreak = "\r\n";
  line += lineBreak;
  out.reserve(bytes.size() + line.size());
  out.append(bytes.substr(0, card.endLineBegin));
  out += line;
  out.append(bytes.substr(card.endLineBegin));
  return out;
}

}  // namespace platform
