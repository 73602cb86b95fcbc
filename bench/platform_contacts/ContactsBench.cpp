// Opening a vCard folder of 10,000 contacts and reading every contact's names,
// dates and object id through the store's interface, as the contact scan does.
// The folder mixes the address books' styles: 2.1 with quoted-printable
// Latin-1, 3.0 with folded lines and labelled dates, 4.0 with year-less dates.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/contacts/ContactStore.h"

using namespace platform;

namespace {

std::string Card(int i) {
  const std::string n = std::to_string(i);
  switch (i % 3) {
    case 0:
      return "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller" + n +
             ";J=FCrgen\r\nTEL;WORK;VOICE:+49 30 " + n + "\r\nBDAY:19" + std::to_string(50 + i % 50) +
             "0314\r\nX-MS-ANNIVERSARY:20010615\r\nEND:VCARD\r\n";
    case 1:
      return "BEGIN:VCARD\nVERSION:3.0\nUID:uid-" + n + "\nN:Appleseed" + n +
             ";Johnny;;;\nFN:Johnny Appleseed\nNOTE:A long note folded over two lines by the address book that\n "
             "wrote it\nBDAY;X-APPLE-OMIT-YEAR=1604:1604-03-14\nitem1.X-ABDATE:2004-06-12\n"
             "item1.X-ABLabel:_$!<Anniversary>!$_\nEND:VCARD\n";
    default:
      return "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:urn:uuid:" + n + "\r\nFN:Jane Doe\r\nN:Doe" + n +
             ";Jane;;;\r\nBDAY:--0314\r\nANNIVERSARY:20050704\r\nEMAIL:jane" + n + "@example.org\r\nEND:VCARD\r\n";
  }
}

class ContactFolderFixture {
 public:
  explicit ContactFolderFixture(int count) {
    std::string pattern = (std::filesystem::temp_directory_path() / "natalo-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) return;
    m_path = pattern;
    for (int i = 0; i < count; ++i) {
      std::ofstream(m_path + "/" + std::to_string(i) + ".vcf", std::ios::binary) << Card(i);
    }
  }
  ~ContactFolderFixture() {
    std::error_code ec;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
  }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

void BM_OpenAndReadAll(benchmark::State& state) {
  ContactFolderFixture folder(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    ContactStore store(folder.Path());
    if (!store.Logon()) {
      state.SkipWithError("log-on failed");
      break;
    }
    ContactFolder contacts;
    store.GetDefaultFolder(FOLDER_CONTACTS, contacts);
    double sum = 0;
    std::size_t chars = 0;
    for (int i = 1; i <= contacts.GetCount(); ++i) {
      ContactItem item;
      contacts.GetItem(i, item);
      std::u16string name;
      item.GetFirstName(name);
      chars += name.size();
      item.GetLastName(name);
      chars += name.size();
      sum += item.GetBirthday() + item.GetAnniversary() + item.GetOid();
    }
    benchmark::DoNotOptimize(sum);
    benchmark::DoNotOptimize(chars);
    store.Logoff();
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

}  // namespace

BENCHMARK(BM_OpenAndReadAll)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
