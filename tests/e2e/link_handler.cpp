// A stand-in for the system's web browser in the link test: registered as
// the handler of a scheme, it writes the address it was given, or that it
// was started without one, as one line of the file that VELMO_LINK_RECORD
// names.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const char* record = std::getenv("VELMO_LINK_RECORD");
  if (record == nullptr) return 1;
  std::FILE* file = std::fopen(record, "ab");
  if (file == nullptr) return 1;
  std::fprintf(file, "%s\n", argc > 1 ? argv[1] : "(started without an address)");
  std::fclose(file);
  return 0;
}
