// Walking UTF-8 text one code point at a time, for the document's own reading
// and writing (the tool's ANSI conversions live in text/).
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

namespace tvb::xml {

// The code point that starts at `i`, advancing `i` past it; nullopt (with `i`
// advanced by one byte) for a malformed, overlong or surrogate sequence.
inline std::optional<char32_t> NextCodePoint(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return char32_t{b0};
  }
  const std::size_t len = b0 >= 0xF0 && b0 <= 0xF4  ? 4
                          : b0 >= 0xE0 && b0 < 0xF0 ? 3
                          : b0 >= 0xC2 && b0 < 0xE0 ? 2
                                                    : 0;
  char32_t cp = len == 4 ? b0 & 0x07u : len == 3 ? b0 & 0x0Fu : b0 & 0x1Fu;
  bool ok = len != 0 && i + len <= s.size();
  for (std::size_t k = 1; ok && k < len; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    ok = (b & 0xC0) == 0x80;
    cp = (cp << 6) | (b & 0x3Fu);
  }
  ok = ok && !(len == 3 && cp < 0x800) && !(len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) &&
       !(cp >= 0xD800 && cp <= 0xDFFF);
  if (!ok) {
    ++i;
    return std::nullopt;
  }
  i += len;
  return cp;
}

// Line and column (both from 1, the column counted in characters) of the byte
// at `offset` in UTF-8 text. CR LF, CR and LF each end a line.
struct TextPosition {
  std::size_t line = 1;
  std::size_t column = 1;
};

inline TextPosition PositionOf(std::string_view utf8, std::size_t offset) {
  TextPosition at;
  const std::size_t end = offset < utf8.size() ? offset : utf8.size();
  for (std::size_t i = 0; i < end; ++i) {
    const char c = utf8[i];
    const bool line_break =
        c == '\n' || (c == '\r' && (i + 1 >= utf8.size() || utf8[i + 1] != '\n'));
    if (line_break) {
      ++at.line;
      at.column = 1;
    } else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && c != '\r') {
      ++at.column;
    }
  }
  return at;
}

}  // namespace tvb::xml
