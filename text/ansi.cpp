#include "text/ansi.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace tvb {
namespace {

// Unicode of the Windows-1252 bytes 0x80 to 0x9F; the undefined ones keep their number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

struct BestFit {
  char32_t cp;
  unsigned char byte;
};
constexpr BestFit kBestFit[] = {
#include "text/best_fit_table.inc"
};

// Walks UTF-8 and calls `emit` with each code point; a malformed byte gives U+FFFD.
template <typename Emit>
void DecodeUtf8(std::string_view s, Emit emit) {
  size_t i = 0;
  while (i < s.size()) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    if (b0 < 0x80) {
      emit(char32_t{b0});
      ++i;
      continue;
    }
    int len = b0 >= 0xF0 && b0 <= 0xF4 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 && b0 < 0xE0 ? 2 : 0;
    char32_t cp = len == 4 ? b0 & 0x07u : len == 3 ? b0 & 0x0Fu : b0 & 0x1Fu;
    bool ok = len != 0 && i + len <= s.size();
    for (int k = 1; ok && k < len; ++k) {
      const auto b = static_cast<unsigned char>(s[i + k]);
      ok = (b & 0xC0) == 0x80;
      cp = (cp << 6) | (b & 0x3Fu);
    }
    // Reject overlong forms, surrogates and values beyond U+10FFFF.
    if (ok && ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
               (cp >= 0xD800 && cp <= 0xDFFF))) {
      ok = false;
    }
    if (!ok) {
      emit(char32_t{0xFFFD});
      ++i;
      continue;
    }
    emit(cp);
    i += static_cast<size_t>(len);
  }
}

unsigned char FoldByte(unsigned char c) {
  if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
  switch (c) {
    case 0x9A:
      return 0x8A;  // š
    case 0x9C:
      return 0x8C;  // œ
    case 0x9E:
      return 0x8E;  // ž
    case 0xFF:
      return 0x9F;  // ÿ
    default:
      return c;
  }
}

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }

}  // namespace

char32_t AnsiToCodePoint(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

char CodePointToAnsi(char32_t cp) {
  if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
  for (size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == cp) return static_cast<char>(0x80 + i);
  }
  const auto* it = std::lower_bound(std::begin(kBestFit), std::end(kBestFit), cp,
                                    [](const BestFit& e, char32_t v) { return e.cp < v; });
  if (it != std::end(kBestFit) && it->cp == cp) return static_cast<char>(it->byte);
  return '?';
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Utf8ToAnsi(std::string_view utf8) {
  // Leading ASCII is the same bytes in both, and most text is ASCII throughout.
  std::size_t ascii = 0;
  while (ascii < utf8.size() && static_cast<unsigned char>(utf8[ascii]) < 0x80) ++ascii;
  std::string out(utf8.substr(0, ascii));
  if (ascii == utf8.size()) return out;
  out.reserve(utf8.size());
  DecodeUtf8(utf8.substr(ascii), [&](char32_t cp) { out += CodePointToAnsi(cp); });
  return out;
}

std::string Utf16ToAnsi(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 &&
        s[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    out += CodePointToAnsi(cp);
  }
  return out;
}

std::string AnsiToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size() + ansi.size() / 8);
  for (char c : ansi) AppendUtf8(out, AnsiToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::u16string AnsiToUtf16(std::string_view ansi) {
  std::u16string out;
  out.reserve(ansi.size());
  for (char c : ansi) out += static_cast<char16_t>(AnsiToCodePoint(static_cast<unsigned char>(c)));
  return out;
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsTrimmed(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsTrimmed(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TrimTrailingSpaces(std::string_view text) {
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

std::string AsciiUpper(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string AsciiLower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string FoldCase(std::string_view ansi) {
  std::string out(ansi);
  for (char& c : out) c = static_cast<char>(FoldByte(static_cast<unsigned char>(c)));
  return out;
}

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldByte(static_cast<unsigned char>(a[i])) != FoldByte(static_cast<unsigned char>(b[i])))
      return false;
  }
  return true;
}

}  // namespace tvb
