// Builds local.dat and checks it:
//   localdat_tool generate OUT SECTION=FILE...
//   localdat_tool check LOCAL_DAT REQUIRED_KEYS SECTION... [--scan DIR...]
#include <cstdio>
#include <string>
#include <vector>

#include "data/local/LocalDatCheck.h"

namespace {

int Report(const std::vector<std::string>& problems) {
  for (const auto& p : problems) std::fprintf(stderr, "local.dat: %s\n", p.c_str());
  return problems.empty() ? 0 : 1;
}

int Usage() {
  std::fprintf(stderr,
               "usage: localdat_tool generate OUT SECTION=FILE...\n"
               "       localdat_tool check LOCAL_DAT REQUIRED_KEYS SECTION... [--scan DIR...]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() >= 3 && args[0] == "generate") {
    std::vector<localdat::SectionSource> sources;
    for (std::size_t i = 2; i < args.size(); ++i) {
      const auto eq = args[i].find('=');
      if (eq == std::string::npos) return Usage();
      sources.push_back({args[i].substr(0, eq), args[i].substr(eq + 1)});
    }
    return Report(localdat::Generate(args[1], sources));
  }
  if (args.size() >= 4 && args[0] == "check") {
    std::vector<std::string> sections;
    std::vector<std::filesystem::path> roots;
    bool scan = false;
    for (std::size_t i = 3; i < args.size(); ++i) {
      if (args[i] == "--scan") scan = true;
      else if (scan) roots.emplace_back(args[i]);
      else sections.push_back(args[i]);
    }
    std::vector<std::string> problems;
    auto required = localdat::ReadRequiredKeys(args[2], problems);
    for (const auto& key : localdat::ScanSourceKeys(roots)) {
      bool listed = false;
      for (const auto& r : required) listed = listed || r.key == key;
      if (!listed) required.push_back({key, {}, -1, -1, -1});
    }
    if (!problems.empty()) return Report(problems);
    return Report(localdat::Check(args[1], required, sections));
  }
  return Usage();
}
