#include "text/str_to_int.h"

#include "text/ansi.h"
#include "text/error.h"

namespace tvb {
namespace {

[[noreturn]] void Reject(std::string_view text) {
  throw ConversionError("'" + AnsiToUtf8(text) + "' no es un valor entero válido");
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

int32_t StrToInt(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  const bool hex = i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X');
  if (hex) ++i;
  if (i == text.size()) Reject(text);

  const uint64_t limit = hex ? 0xFFFFFFFFull : (negative ? 0x80000000ull : 0x7FFFFFFFull);
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    const int digit =
        hex ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i] - '0' : -1);
    if (digit < 0) Reject(text);
    value = value * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    if (value > limit) Reject(text);
  }
  const auto pattern = static_cast<uint32_t>(value);
  return static_cast<int32_t>(negative ? 0u - pattern : pattern);
}

}  // namespace tvb
