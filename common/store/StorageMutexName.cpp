#include "common/store/StorageMutexName.h"

#include "platform/text/Utf.h"

std::u16string StorageMutexName(const std::u16string& storagePath) {
  std::u16string name = platform::AsciiUpper(storagePath);
  for (auto& c : name) {
    if (c == u'/' || c == u'\\') c = u'$';
  }
  return name;
}

std::u16string CalculateMutexName(const std::u16string& storagePath) {
  return StorageMutexName(storagePath) + u"$CALCULATE";
}

std::u16string WaitMutexName(const std::u16string& storagePath) {
  return CalculateMutexName(storagePath) + u"$WAIT";
}
