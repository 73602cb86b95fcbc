#pragma once
// A tolerant reader of vCard 2.1, 3.0 and 4.0 that keeps where every property
// lies in the file, so that one property can later be replaced without touching
// any other byte.
//
// Lines end in CR LF, LF or a lone CR. A line that starts with a space or a tab
// continues the one before it (the line break and that one character are
// dropped). A quoted-printable value that ends in "=" continues on the next line
// (the soft line break of 2.1 writers). Properties of cards nested inside a card
// (the AGENT of 2.1) are not reported. A card without its END line is broken and
// is not returned; lines outside any card are ignored.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

struct VCardParam {
  std::string name;   // upper case; a bare 2.1 parameter gets ENCODING or TYPE
  std::string value;  // quotes removed
  std::string raw;    // the parameter as written, without the leading ';'
};

struct VCardProperty {
  std::string group;  // as written ("item1"), empty without a group
  std::string name;   // upper case
  std::string rawName;  // as written
  std::vector<VCardParam> params;
  std::string value;  // unfolded, still encoded and escaped
  std::size_t begin = 0;  // byte span of the whole logical line in the file,
  std::size_t end = 0;    // line break(s) included
  std::string lineBreak;  // the break that ends the line ("\r\n", "\n", "\r" or empty at end of file)

  const VCardParam* FindParam(std::string_view upperName) const;
  bool IsQuotedPrintable() const;
};

struct VCardCard {
  std::size_t begin = 0;  // from the first byte of BEGIN:VCARD ...
  std::size_t end = 0;    // ... to the end of the END:VCARD line
  std::size_t endLineBegin = 0;  // where the END:VCARD line starts
  std::string version;  // "2.1", "3.0", "4.0" as written; empty when missing
  std::vector<VCardProperty> properties;

  // First property of that (upper-case) name, or nullptr.
  const VCardProperty* Find(std::string_view upperName) const;
  // The line break this card uses: that of its last property line, CR LF when unknown.
  std::string LineBreak() const;
};

struct VCardReadResult {
  std::vector<VCardCard> cards;
  int brokenCards = 0;  // cards dropped because they never ended
};

VCardReadResult ReadVCards(std::string_view bytes);

}  // namespace platform
