#include "platform/contacts/VCardEditor.h"

#include "platform/contacts/VCardText.h"

namespace platform {
namespace {

bool IsVersion4(const VCardCard& card) { return !card.version.empty() && card.version[0] == '4'; }

// The year the line writes in place of a missing one ("1604", "0000"), or empty
// when its date has a year or is written without one ("--0314").
std::string PlaceholderYear(const VCardProperty& prop) {
  const VCardParam* omit = FindOmitYearParam(prop);
  const std::string_view value = TrimAscii(prop.value);
  ContactDate old;
  if (value.substr(0, 2) == "--" || !ParseVCardDate(value, omit ? std::string_view(omit->value) : "", old) ||
      old.yearKnown) {
    return {};
  }
  return std::string(value.substr(0, 4));
}

std::string RebuiltLine(const VCardCard& card, const VCardProperty& prop, const ContactDate& date) {
  ContactDate old;
  const bool oldReadable = ParseVCardDate(prop.value, "", old);
  // A date without a year keeps the placeholder year the line used; otherwise
  // 4.0 knows only the basic "--0314".
  const std::string placeholder = date.yearKnown ? std::string() : PlaceholderYear(prop);
  bool basic = oldReadable ? IsBasicDateForm(prop.value) : IsVersion4(card);
  if (!date.yearKnown && placeholder.empty() && IsVersion4(card)) basic = true;

  std::string line;
  if (!prop.group.empty()) line += prop.group + ".";
  line += prop.rawName;
  for (const auto& param : prop.params) {
    if (param.name == "VALUE" || param.name == "ENCODING" || param.name == "CHARSET") continue;
    if (IsOmitYearParam(param) && placeholder.empty()) continue;
    line += ";" + param.raw;
  }
  line += ":";
  if (!placeholder.empty()) {
    ContactDate written = date;
    written.yearKnown = true;
    written.year = std::stoi(placeholder);
    line += FormatVCardDate(written, basic);
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
