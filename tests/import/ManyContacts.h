#pragma once
// A vCard folder of many contacts, for the scan's test of a large folder and its
// benchmark. Contact i is "Given<i> Family<i>"; four of every five carry a
// birthday, the fifth an anniversary, so n contacts give n entries.
#include <string>

#include "tests/support/TempDir.h"

namespace importtest {

inline std::string ManyContactsCard(int i) {
  const std::string n = std::to_string(i);
  const std::string date = std::to_string(1940 + i % 70) + "-" + (i % 12 < 9 ? "0" : "") + std::to_string(1 + i % 12) +
                           "-" + (i % 28 < 9 ? "0" : "") + std::to_string(1 + i % 28);
  return "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:many-" + n + "\r\nN:Family" + n + ";Given" + n + ";;;\r\nFN:Given" + n +
         " Family" + n + "\r\nTEL:+49 30 " + n + "\r\n" + (i % 5 == 4 ? "ANNIVERSARY:" : "BDAY:") + date +
         "\r\nEND:VCARD\r\n";
}

// Writes contacts 0 .. count-1 as one file each; false when a file could not be written.
inline bool WriteManyContacts(const std::string& folder, int count) {
  for (int i = 0; i < count; ++i) {
    if (!testsupport::WriteFileBytes(folder + "/" + std::to_string(i) + ".vcf", ManyContactsCard(i))) return false;
  }
  return true;
}

}  // namespace importtest
