#include "platform/contacts/ContactCard.h"

#include "platform/contacts/VCardText.h"

namespace platform {
namespace {

constexpr std::string_view kAnniversaryNames[] = {"ANNIVERSARY", "X-ANNIVERSARY", "X-EVOLUTION-ANNIVERSARY",
                                                  "X-MS-ANNIVERSARY"};

std::string DecodedBytes(const VCardProperty& prop) {
  return prop.IsQuotedPrintable() ? DecodeQuotedPrintable(prop.value) : prop.value;
}

// DecodedBytes without a copy of a value that is not quoted-printable; a
// decoded one is kept in `decoded`.
std::string_view DecodedView(const VCardProperty& prop, std::string& decoded) {
  if (!prop.IsQuotedPrintable()) return prop.value;
  decoded = DecodeQuotedPrintable(prop.value);
  return decoded;
}

std::u16string DecodeBytes(const VCardProperty& prop, std::string_view bytes) {
  const VCardParam* charset = prop.FindParam("CHARSET");
  return DecodeCharset(bytes, charset ? std::string_view(charset->value) : std::string_view());
}

// One structured component: its values unescaped and joined by a space.
std::u16string ComponentText(const VCardProperty& prop, std::string_view component) {
  // One value without escapes, as most names are, is its own text.
  if (component.find_first_of(",\\") == std::string_view::npos) return DecodeBytes(prop, component);
  std::string joined;
  for (std::string_view v : SplitUnescaped(component, ',')) {
    std::string text = Unescape(v);
    if (text.empty()) continue;
    if (!joined.empty()) joined.push_back(' ');
    joined += text;
  }
  return DecodeBytes(prop, joined);
}

bool IsAnniversaryLabel(const VCardProperty& prop) {
  std::string_view label = TrimAscii(prop.value);
  return EqualsIgnoreCaseAscii(label, "_$!<Anniversary>!$_") || EqualsIgnoreCaseAscii(label, "Anniversary");
}

const VCardProperty* FindLabelledAnniversary(const VCardCard& card) {
  for (const auto& prop : card.properties) {
    if (prop.name != "X-ABDATE" || prop.group.empty()) continue;
    for (const auto& label : card.properties) {
      if (label.name == "X-ABLABEL" && EqualsIgnoreCaseAscii(label.group, prop.group) && IsAnniversaryLabel(label)) {
        return &prop;
      }
    }
  }
  return nullptr;
}

ContactDate ReadDate(const VCardProperty* prop) {
  ContactDate date;
  if (prop == nullptr) return date;
  const VCardParam* omit = FindOmitYearParam(*prop);
  const std::string_view omitYear = omit ? std::string_view(omit->value) : std::string_view();
  const VCardParam* type = prop->FindParam("VALUE");
  std::string decoded;
  if (type != nullptr && EqualsIgnoreCaseAscii(TrimAscii(type->value), "text")) {
    ParseVCardTextDate(Unescape(DecodedView(*prop, decoded)), omitYear, date);
  } else {
    ParseVCardDate(DecodedView(*prop, decoded), omitYear, date);
  }
  return date;
}

}  // namespace

std::string CardUid(const VCardCard& card) {
  const VCardProperty* uid = card.Find("UID");
  if (uid == nullptr) return std::string();
  if (uid->value.find('\\') == std::string::npos) return std::string(TrimAscii(uid->value));
  return std::string(TrimAscii(Unescape(uid->value)));
}

bool IsOmitYearParam(const VCardParam& param) { return std::string_view(param.name).ends_with("OMIT-YEAR"); }

const VCardParam* FindOmitYearParam(const VCardProperty& prop) {
  for (const auto& param : prop.params) {
    if (IsOmitYearParam(param)) return &param;
  }
  return nullptr;
}

std::u16string DecodePropertyText(const VCardProperty& prop) { return DecodeBytes(prop, DecodedBytes(prop)); }

const VCardProperty* FindDateProperty(const VCardCard& card, ContactDateField field) {
  if (field == ContactDateField::Birthday) return card.Find("BDAY");
  for (std::string_view name : kAnniversaryNames) {
    if (const VCardProperty* prop = card.Find(name)) return prop;
  }
  return FindLabelledAnniversary(card);
}

ContactFields ExtractContactFields(const VCardCard& card) {
  ContactFields fields;
  if (const VCardProperty* n = card.Find("N")) {
    std::string decoded;
    const std::vector<std::string_view> parts = SplitUnescaped(DecodedView(*n, decoded), ';');
    fields.lastName = ComponentText(*n, parts[0]);
    if (parts.size() > 1) fields.firstName = ComponentText(*n, parts[1]);
  }
  if (fields.firstName.empty() && fields.lastName.empty()) {
    if (const VCardProperty* fn = card.Find("FN")) {
      std::u16string full = DecodeBytes(*fn, Unescape(DecodedBytes(*fn)));
      while (!full.empty() && full.back() == u' ') full.pop_back();
      std::size_t space = full.rfind(u' ');
      if (space == std::u16string::npos) {
        fields.firstName = full;
      } else {
        fields.firstName = full.substr(0, space);
        fields.lastName = full.substr(space + 1);
      }
    }
  }
  fields.uid = CardUid(card);
  fields.birthday = ReadDate(FindDateProperty(card, ContactDateField::Birthday));
  fields.anniversary = ReadDate(FindDateProperty(card, ContactDateField::Anniversary));
  return fields;
}

}  // namespace platform
