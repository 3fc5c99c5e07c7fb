#include "xml/encoded_output.h"

#include <cstdio>
#include <optional>

#include "text/ansi.h"
#include "text/error.h"
#include "xml/utf8.h"

namespace tvb::xml {
namespace {

constexpr std::size_t kFlushSize = 1 << 16;

bool AllowedInXml(char32_t cp) {
  return cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
         (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF);
}

// The escape of a character in text or an attribute value, or empty.
std::string_view EscapeOf(char32_t cp, bool attribute) {
  switch (cp) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '\r':
      return "&#13;";
    case '"':
      return attribute ? "&quot;" : "";
    case '\t':
      return attribute ? "&#9;" : "";
    case '\n':
      return attribute ? "&#10;" : "";
    default:
      return "";
  }
}

// ASCII that the context writes as it is: every encoding but UTF-16 gives it the
// same byte. Text escapes &, < and >; attribute values also ", tab and line feed.
constexpr bool WrittenAsIs(unsigned char c, bool text, bool attribute) {
  if (c == '\t' || c == '\n') return !attribute;
  if (c < 0x20 || c > 0x7E) return false;
  if ((text || attribute) && (c == '&' || c == '<' || c == '>')) return false;
  return !(attribute && c == '"');
}

// WrittenAsIs for every byte, as one table for markup and names, text, and
// attribute values: the test runs for every byte of a result.
struct PlainBytes {
  bool markup[256], text[256], attribute[256];
};
constexpr PlainBytes MakePlainBytes() {
  PlainBytes plain{};
  for (int c = 0; c < 256; ++c) {
    const auto byte = static_cast<unsigned char>(c);
    plain.markup[c] = WrittenAsIs(byte, false, false);
    plain.text[c] = WrittenAsIs(byte, true, false);
    plain.attribute[c] = WrittenAsIs(byte, false, true);
  }
  return plain;
}
constexpr PlainBytes kPlainBytes = MakePlainBytes();

std::string Hex(char32_t cp) {
  char digits[16];
  std::snprintf(digits, sizeof digits, "%04X", static_cast<unsigned>(cp));
  return digits;
}

bool AllPlain(std::string_view utf8, const bool* plain) {
  for (const char c : utf8) {
    if (!plain[static_cast<unsigned char>(c)]) return false;
  }
  return true;
}

}  // namespace

bool IsPlainText(std::string_view utf8) { return AllPlain(utf8, kPlainBytes.text); }
bool IsPlainAttributeValue(std::string_view utf8) {
  return AllPlain(utf8, kPlainBytes.attribute);
}

EncodedOutput::EncodedOutput(AtomicFile& file, Encoding encoding, bool utf8_byte_order_mark)
    : file_(file), encoding_(encoding) {
  const bool utf16 = encoding == Encoding::kUtf16LE || encoding == Encoding::kUtf16BE;
  if (utf16 || (encoding == Encoding::kUtf8 && utf8_byte_order_mark)) Put(0xFEFF);
}

void EncodedOutput::Markup(std::string_view utf8) { Write(utf8, Context::kMarkup); }
void EncodedOutput::Name(std::string_view utf8) { Write(utf8, Context::kName); }
void EncodedOutput::Text(std::string_view utf8) { Write(utf8, Context::kText); }
void EncodedOutput::AttributeValue(std::string_view utf8) { Write(utf8, Context::kAttribute); }
void EncodedOutput::CDataContent(std::string_view utf8) { Write(utf8, Context::kCData); }

void EncodedOutput::PlainAscii(std::string_view ascii) {
  if (encoding_ == Encoding::kUtf16LE || encoding_ == Encoding::kUtf16BE) {
    PutAscii(ascii);
  } else {
    pending_.append(ascii);
  }
  if (pending_.size() >= kFlushSize) Flush();
}

void EncodedOutput::Flush() {
  file_.Write(pending_);
  pending_.clear();
}

void EncodedOutput::Write(std::string_view utf8, Context context) {
  const bool ascii_as_is = encoding_ != Encoding::kUtf16LE && encoding_ != Encoding::kUtf16BE;
  const bool* plain = context == Context::kText        ? kPlainBytes.text
                      : context == Context::kAttribute ? kPlainBytes.attribute
                                                       : kPlainBytes.markup;
  std::size_t i = 0;
  while (i < utf8.size()) {
    if (ascii_as_is) {
      // A run of plain ASCII goes out in one piece.
      const std::size_t start = i;
      while (i < utf8.size() && plain[static_cast<unsigned char>(utf8[i])]) ++i;
      pending_.append(utf8.substr(start, i - start));
      if (i == utf8.size()) break;
    }
    const std::optional<char32_t> cp = NextCodePoint(utf8, i);
    WriteCharacter(cp && AllowedInXml(*cp) ? *cp : U'?', context);
  }
  if (pending_.size() >= kFlushSize) Flush();
}

void EncodedOutput::WriteCharacter(char32_t cp, Context context) {
  if (context == Context::kText || context == Context::kAttribute) {
    const std::string_view escape = EscapeOf(cp, context == Context::kAttribute);
    if (!escape.empty()) return PutAscii(escape);
  }
  if (Encodable(cp)) return Put(cp);
  switch (context) {
    case Context::kMarkup:
      return Put('?');
    case Context::kName:
      // Windows-1252 gives C1 controls no byte but keeps the one each was read from.
      if (encoding_ == Encoding::kWindows1252 &&
          AnsiToCodePoint(static_cast<unsigned char>(CodePointToAnsi(cp))) == cp) {
        return Put(cp);
      }
      throw Error("El nombre de un elemento o atributo tiene el carácter U+" + Hex(cp) +
                  ", que la codificación del documento no puede representar");
    case Context::kText:
    case Context::kAttribute:
      return PutReference(cp);
    case Context::kCData:
      PutAscii("]]>");
      PutReference(cp);
      return PutAscii("<![CDATA[");
  }
}

bool EncodedOutput::Encodable(char32_t cp) const {
  switch (encoding_) {
    case Encoding::kLatin1:
      return cp <= 0xFF;
    case Encoding::kWindows1252:
      // 1252 gives the bytes 0x80 to 0x9F to other characters, or none: no C1 control.
      if (cp >= 0x80 && cp <= 0x9F) return false;
      return AnsiToCodePoint(static_cast<unsigned char>(CodePointToAnsi(cp))) == cp;
    default:
      return true;
  }
}

void EncodedOutput::Put(char32_t cp) {
  switch (encoding_) {
    case Encoding::kUtf8:
      return AppendUtf8(pending_, cp);
    case Encoding::kLatin1:
      pending_ += static_cast<char>(cp);
      return;
    case Encoding::kWindows1252:
      pending_ += CodePointToAnsi(cp);
      return;
    case Encoding::kUtf16LE:
    case Encoding::kUtf16BE:
      break;
  }
  auto put_unit = [this](char32_t unit) {
    const char hi = static_cast<char>(unit >> 8);
    const char lo = static_cast<char>(unit & 0xFF);
    pending_ += encoding_ == Encoding::kUtf16LE ? lo : hi;
    pending_ += encoding_ == Encoding::kUtf16LE ? hi : lo;
  };
  if (cp < 0x10000) return put_unit(cp);
  put_unit(0xD800 + ((cp - 0x10000) >> 10));
  put_unit(0xDC00 + ((cp - 0x10000) & 0x3FF));
}

void EncodedOutput::PutAscii(std::string_view ascii) {
  for (const char c : ascii) Put(static_cast<char32_t>(c));
}

void EncodedOutput::PutReference(char32_t cp) {
  PutAscii("&#" + std::to_string(static_cast<unsigned long>(cp)) + ";");
}

}  // namespace tvb::xml
