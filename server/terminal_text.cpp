// UTF-8 <-> CP932 through iconv on POSIX; nothing to do on Windows.
#include "server/terminal_text.h"

#ifndef _WIN32
#include <iconv.h>
#endif

namespace orla_server {

#ifdef _WIN32
std::string ToWireText(std::string_view text) { return std::string(text); }
std::string ToTerminalText(std::string_view text) { return std::string(text); }
#else
namespace {

// The converted text, or the text unchanged when it is not valid in the
// source character set.
std::string Convert(const char* to, const char* from, std::string_view text) {
  bool plain = true;
  for (char c : text) plain = plain && static_cast<unsigned char>(c) < 0x80;
  if (plain) return std::string(text);
  iconv_t converter = iconv_open(to, from);
  if (converter == reinterpret_cast<iconv_t>(-1)) return std::string(text);
  std::string out(text.size() * 3 + 16, '\0');
  char* inAt = const_cast<char*>(text.data());
  std::size_t inLeft = text.size();
  char* outAt = &out[0];
  std::size_t outLeft = out.size();
  std::size_t result = iconv(converter, &inAt, &inLeft, &outAt, &outLeft);
  iconv_close(converter);
  if (result == static_cast<std::size_t>(-1)) return std::string(text);
  out.resize(out.size() - outLeft);
  return out;
}

}  // namespace

std::string ToWireText(std::string_view text) { return Convert("CP932", "UTF-8", text); }
std::string ToTerminalText(std::string_view text) { return Convert("UTF-8", "CP932", text); }
#endif

}  // namespace orla_server
