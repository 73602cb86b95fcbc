#include "platform/contacts/VCardReader.h"

#include "platform/contacts/VCardText.h"

namespace platform {
namespace {

struct PhysicalLine {
  std::size_t contentBegin = 0;
  std::size_t contentEnd = 0;
  std::size_t next = 0;  // first byte after the line break
};

PhysicalLine ReadPhysicalLine(std::string_view bytes, std::size_t pos) {
  PhysicalLine line;
  line.contentBegin = pos;
  std::size_t i = pos;
  while (i < bytes.size() && bytes[i] != '\n' && bytes[i] != '\r') ++i;
  line.contentEnd = i;
  if (i < bytes.size()) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
      i += 2;
    } else {
      i += 1;
    }
  }
  line.next = i;
  return line;
}

// Position of the first ':' that is not inside a double-quoted parameter value.
std::size_t FindValueColon(std::string_view line) {
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ':' && !quoted) return i;
  }
  return std::string_view::npos;
}

bool PrefixSaysQuotedPrintable(std::string_view line) {
  std::size_t colon = FindValueColon(line);
  if (colon == std::string_view::npos) return false;
  return ContainsIgnoreCase(line.substr(0, colon), "QUOTED-PRINTABLE");
}

// The part of `text` from `start` to the next `separator` outside double quotes
// (or to the end); `start` moves past that separator, or to npos after the last part.
std::string_view NextPartOutsideQuotes(std::string_view text, char separator, std::size_t& start) {
  bool quoted = false;
  for (std::size_t i = start; i < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;
    if (text[i] == separator && !quoted) {
      const std::string_view part = text.substr(start, i - start);
      start = i + 1;
      return part;
    }
  }
  const std::string_view part = text.substr(start);
  start = std::string_view::npos;
  return part;
}

bool IsBareEncoding(std::string_view upper) {
  return upper == "QUOTED-PRINTABLE" || upper == "BASE64" || upper == "8BIT" || upper == "7BIT" || upper == "B";
}

VCardParam ParseParam(std::string_view raw) {
  VCardParam param;
  param.raw = std::string(raw);
  std::size_t eq = raw.find('=');
  if (eq == std::string_view::npos) {
    std::string upper = AsciiUpperCopy(TrimAscii(raw));
    param.name = IsBareEncoding(upper) ? "ENCODING" : "TYPE";
    param.value = upper;
    return param;
  }
  param.name = AsciiUpperCopy(TrimAscii(raw.substr(0, eq)));
  std::string_view value = TrimAscii(raw.substr(eq + 1));
  for (char c : value) {
    if (c != '"') param.value.push_back(c);
  }
  return param;
}

// Fills prop from one unfolded line; false when the line has no value separator.
bool ParseLogicalLine(std::string_view line, VCardProperty& prop) {
  std::size_t colon = FindValueColon(line);
  if (colon == std::string_view::npos) return false;
  // The name, then the parameters, split at the semicolons outside quotes.
  const std::string_view head = line.substr(0, colon);
  std::size_t next = 0;
  std::string_view fullName = TrimAscii(NextPartOutsideQuotes(head, ';', next));
  std::size_t dot = fullName.rfind('.');
  if (dot != std::string_view::npos) {
    prop.group = std::string(fullName.substr(0, dot));
    fullName = fullName.substr(dot + 1);
  }
  if (fullName.empty()) return false;
  prop.rawName = std::string(fullName);
  prop.name = AsciiUpperCopy(fullName);
  while (next != std::string_view::npos) {
    const std::string_view part = NextPartOutsideQuotes(head, ';', next);
    if (!TrimAscii(part).empty()) prop.params.push_back(ParseParam(part));
  }
  prop.value = std::string(line.substr(colon + 1));
  return true;
}

}  // namespace

const VCardParam* VCardProperty::FindParam(std::string_view upperName) const {
  for (const auto& p : params) {
    if (p.name == upperName) return &p;
  }
  return nullptr;
}

bool VCardProperty::IsQuotedPrintable() const {
  for (const auto& p : params) {
    if (p.name == "ENCODING" && EqualsIgnoreCaseAscii(p.value, "QUOTED-PRINTABLE")) return true;
  }
  return false;
}

const VCardProperty* VCardCard::Find(std::string_view upperName) const {
  for (const auto& p : properties) {
    if (p.name == upperName) return &p;
  }
  return nullptr;
}

std::string VCardCard::LineBreak() const {
  if (!properties.empty() && !properties.back().lineBreak.empty()) return properties.back().lineBreak;
  return "\r\n";
}

VCardReadResult ReadVCards(std::string_view bytes) {
  VCardReadResult result;
  VCardCard card;
  int depth = 0;
  std::size_t pos = 0;
  std::string logical;
  while (pos < bytes.size()) {
    const std::size_t lineBegin = pos;
    PhysicalLine phys = ReadPhysicalLine(bytes, pos);
    logical.assign(bytes.substr(phys.contentBegin, phys.contentEnd - phys.contentBegin));
    std::size_t breakBegin = phys.contentEnd;
    pos = phys.next;
    while (pos < bytes.size() && phys.next > phys.contentEnd) {
      const bool softBreak = !logical.empty() && logical.back() == '=' && PrefixSaysQuotedPrintable(logical);
      if (softBreak) {
        logical.pop_back();
        phys = ReadPhysicalLine(bytes, pos);
        logical.append(bytes.substr(phys.contentBegin, phys.contentEnd - phys.contentBegin));
      } else if (bytes[pos] == ' ' || bytes[pos] == '\t') {
        phys = ReadPhysicalLine(bytes, pos);
        logical.append(bytes.substr(phys.contentBegin + 1, phys.contentEnd - phys.contentBegin - 1));
      } else {
        break;
      }
      breakBegin = phys.contentEnd;
      pos = phys.next;
    }
    if (TrimAscii(logical).empty()) continue;

    VCardProperty prop;
    if (!ParseLogicalLine(logical, prop)) continue;
    prop.begin = lineBegin;
    prop.end = pos;
    prop.lineBreak = std::string(bytes.substr(breakBegin, pos - breakBegin));

    if (prop.name == "BEGIN" && EqualsIgnoreCaseAscii(TrimAscii(prop.value), "VCARD")) {
      if (depth == 0) {
        card = VCardCard{};
        card.begin = lineBegin;
        // Room for the lines of a usual card, so they are not moved as it grows.
        card.properties.reserve(16);
      }
      ++depth;
      continue;
    }
    if (prop.name == "END" && EqualsIgnoreCaseAscii(TrimAscii(prop.value), "VCARD")) {
      if (depth == 0) continue;
      if (--depth == 0) {
        card.end = pos;
        card.endLineBegin = lineBegin;
        result.cards.push_back(std::move(card));
        card = VCardCard{};
      }
      continue;
    }
    if (depth != 1) continue;
    if (prop.name == "VERSION" && card.version.empty()) card.version = std::string(TrimAscii(prop.value));
    card.properties.push_back(std::move(prop));
  }
  if (depth > 0) ++result.brokenCards;
  return result;
}

}  // namespace platform
