#include "xml/decoding.h"

#include <cstdio>
#include <optional>
#include <string_view>

#include "text/ansi.h"
#include "xml/encodings.h"

namespace tvb::xml {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEMark = "\xFF\xFE";
constexpr std::string_view kUtf16BEMark = "\xFE\xFF";

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

struct DeclaredEncoding {
  std::string_view name;
  std::size_t offset;
};

// The value of the "encoding" pseudo-attribute of a leading XML declaration;
// nullopt when there is none (a malformed declaration is left to the parser).
std::optional<DeclaredEncoding> FindDeclaredEncoding(std::string_view text) {
  if (text.size() < 6 || !text.starts_with("<?xml") || !IsXmlSpace(text[5])) return std::nullopt;
  const std::size_t end = text.find("?>");
  if (end == std::string_view::npos) return std::nullopt;
  const std::string_view declaration = text.substr(0, end);
  for (std::size_t at = declaration.find("encoding"); at != std::string_view::npos;
       at = declaration.find("encoding", at + 1)) {
    if (!IsXmlSpace(declaration[at - 1])) continue;
    std::size_t i = at + 8;
    while (i < declaration.size() && IsXmlSpace(declaration[i])) ++i;
    if (i >= declaration.size() || declaration[i] != '=') continue;
    ++i;
    while (i < declaration.size() && IsXmlSpace(declaration[i])) ++i;
    if (i >= declaration.size() || (declaration[i] != '"' && declaration[i] != '\'')) continue;
    const std::size_t close = declaration.find(declaration[i], i + 1);
    if (close == std::string_view::npos) return std::nullopt;
    return DeclaredEncoding{declaration.substr(i + 1, close - i - 1), i + 1};
  }
  return std::nullopt;
}

[[noreturn]] void Fail(const std::string& reason, std::string_view text, std::size_t offset) {
  throw DecodingError(reason, PositionOf(text, offset));
}

// XML's characters: a document holding any other is not well-formed, and its
// result could not be written back (a name cannot hold a reference).
bool AllowedInXml(char32_t cp) {
  return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
         (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF);
}

// Refuses a character that XML does not allow; `text` holds what precedes it.
void CheckCharacter(char32_t cp, std::string_view text, std::size_t offset) {
  if (cp == 0) Fail("carácter nulo en el documento", text, offset);
  if (!AllowedInXml(cp)) {
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
    Fail(std::string("carácter no permitido en XML (") + code + ")", text, offset);
  }
}

// Checks UTF-8 text in place: well-formed sequences of characters XML allows.
void CheckUtf8(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const std::size_t start = i;
    if (static_cast<unsigned char>(text[i]) - 0x20u < 0x60u) {
      ++i;
      continue;
    }
    const std::optional<char32_t> cp = NextCodePoint(text, i);
    if (!cp) Fail("secuencia UTF-8 no válida", text, start);
    CheckCharacter(*cp, text, start);
  }
}

std::string DecodeUtf16(std::string_view bytes, bool little_endian) {
  std::string out;
  out.reserve(bytes.size());
  auto unit = [&](std::size_t i) -> char32_t {
    const auto lo = static_cast<unsigned char>(bytes[little_endian ? i : i + 1]);
    const auto hi = static_cast<unsigned char>(bytes[little_endian ? i + 1 : i]);
    return static_cast<char32_t>(hi << 8 | lo);
  };
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    if (i + 1 >= bytes.size()) {
      Fail("el archivo UTF-16 termina a mitad de un carácter", out, out.size());
    }
    char32_t cp = unit(i);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < bytes.size() && unit(i + 2) >= 0xDC00 &&
        unit(i + 2) <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      Fail("secuencia UTF-16 no válida", out, out.size());
    }
    CheckCharacter(cp, out, out.size());
    AppendUtf8(out, cp);
  }
  return out;
}

std::string DecodeEightBit(std::string_view bytes, Encoding encoding) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    const char32_t cp = encoding == Encoding::kLatin1 ? char32_t{byte} : AnsiToCodePoint(byte);
    CheckCharacter(cp, out, out.size());
    AppendUtf8(out, cp);
  }
  return out;
}

// A document begins with "<": in UTF-16 one of its two bytes is zero.
bool LooksLikeUtf16WithoutMark(std::string_view bytes) {
  return bytes.size() >= 2 &&
         ((bytes[0] == '<' && bytes[1] == '\0') || (bytes[0] == '\0' && bytes[1] == '<'));
}

// The encoding of a file without byte order mark, from its declaration.
Encoding DeclaredOrDefault(std::string_view bytes) {
  if (LooksLikeUtf16WithoutMark(bytes)) {
    throw DecodingError("el documento está en UTF-16 sin marca de orden de bytes", {});
  }
  const std::optional<DeclaredEncoding> declared = FindDeclaredEncoding(bytes);
  if (!declared) return Encoding::kUtf8;
  const std::optional<Encoding> named = EncodingNamed(declared->name);
  if (!named) {
    Fail("la codificación «" + std::string(declared->name) +
             "» no se admite (se admiten UTF-8, UTF-16, ISO-8859-1 y Windows-1252)",
         bytes, declared->offset);
  }
  if (*named == Encoding::kUtf16LE || *named == Encoding::kUtf16BE) {
    Fail("se declara UTF-16 pero el documento no empieza con la marca de orden de bytes", bytes,
         declared->offset);
  }
  return *named;
}

}  // namespace

DecodedDocument DecodeDocument(std::string bytes) {
  DecodedDocument doc;
  const std::string_view view = bytes;
  if (view.starts_with(kUtf16LEMark) || view.starts_with(kUtf16BEMark)) {
    const bool little_endian = view.starts_with(kUtf16LEMark);
    doc.encoding = little_endian ? Encoding::kUtf16LE : Encoding::kUtf16BE;
    doc.byte_order_mark = true;
    doc.utf8 = DecodeUtf16(view.substr(2), little_endian);
    return doc;
  }
  if (view.starts_with(kUtf8Mark)) {
    doc.byte_order_mark = true;
    bytes.erase(0, kUtf8Mark.size());
  } else {
    doc.encoding = DeclaredOrDefault(view);
  }
  if (doc.encoding == Encoding::kUtf8) {
    CheckUtf8(bytes);
    doc.utf8 = std::move(bytes);
  } else {
    doc.utf8 = DecodeEightBit(bytes, doc.encoding);
  }
  return doc;
}

}  // namespace tvb::xml
