// Test helper: writes its command line, one argument per line, to the file named
// by its first argument.
#include <fstream>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::ofstream out(argv[1]);
  for (int i = 2; i < argc; ++i) out << argv[i] << '\n';
  return 0;
}
