// Reads arbitrary bytes as a vCard file: the reader must neither crash nor read
// out of bounds, and writing a date into the first card must leave a file in
// which that card is found again with the new date and no card is lost.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/contacts/ContactCard.h"
#include "platform/contacts/VCardEditor.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace platform;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  VCardReadResult read = ReadVCards(bytes);
  for (const auto& card : read.cards) {
    Check(card.begin <= card.endLineBegin && card.endLineBegin < card.end && card.end <= size);
    ContactFields fields = ExtractContactFields(card);
    Check(!fields.birthday.IsSet() || (fields.birthday.month >= 1 && fields.birthday.month <= 12));
    for (const auto& prop : card.properties) {
      Check(prop.begin < prop.end && prop.end <= size);
      DecodePropertyText(prop);
    }
  }
  if (read.cards.empty()) return 0;

  const ContactDate date{1985, 3, 14, true};
  for (ContactDateField field : {ContactDateField::Birthday, ContactDateField::Anniversary}) {
    const std::string edited = ReplaceCardDate(bytes, read.cards[0], field, date);
    VCardReadResult again = ReadVCards(edited);
    Check(again.cards.size() == read.cards.size());
    ContactFields fields = ExtractContactFields(again.cards[0]);
    Check((field == ContactDateField::Birthday ? fields.birthday : fields.anniversary) == date);
    const std::string cleared = ReplaceCardDate(edited, again.cards[0], field, ContactDate{});
    Check(ReadVCards(cleared).cards.size() == read.cards.size());
  }
  return 0;
}
