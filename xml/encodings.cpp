#include "xml/encodings.h"

#include <array>

#include "text/ansi.h"

namespace tvb::xml {
namespace {

struct NamedEncoding {
  std::string_view name;  // in upper case
  Encoding encoding;
};

// Names and usual aliases, as IANA registers them.
constexpr std::array kNames = {
    NamedEncoding{"UTF-8", Encoding::kUtf8},
    NamedEncoding{"UTF8", Encoding::kUtf8},
    NamedEncoding{"UTF-16", Encoding::kUtf16LE},
    NamedEncoding{"UTF-16LE", Encoding::kUtf16LE},
    NamedEncoding{"UTF-16BE", Encoding::kUtf16BE},
    NamedEncoding{"ISO-8859-1", Encoding::kLatin1},
    NamedEncoding{"ISO_8859-1", Encoding::kLatin1},
    NamedEncoding{"ISO8859-1", Encoding::kLatin1},
    NamedEncoding{"ISO_8859-1:1987", Encoding::kLatin1},
    NamedEncoding{"ISO-IR-100", Encoding::kLatin1},
    NamedEncoding{"LATIN1", Encoding::kLatin1},
    NamedEncoding{"LATIN-1", Encoding::kLatin1},
    NamedEncoding{"L1", Encoding::kLatin1},
    NamedEncoding{"CP819", Encoding::kLatin1},
    NamedEncoding{"IBM819", Encoding::kLatin1},
    NamedEncoding{"CSISOLATIN1", Encoding::kLatin1},
    NamedEncoding{"WINDOWS-1252", Encoding::kWindows1252},
    NamedEncoding{"CP1252", Encoding::kWindows1252},
    NamedEncoding{"X-CP1252", Encoding::kWindows1252},
    NamedEncoding{"CSWINDOWS1252", Encoding::kWindows1252},
};

bool IsUtf16(Encoding e) { return e == Encoding::kUtf16LE || e == Encoding::kUtf16BE; }

}  // namespace

std::optional<Encoding> EncodingNamed(std::string_view declared) {
  const std::string upper = AsciiUpper(declared);
  for (const NamedEncoding& named : kNames) {
    if (named.name == upper) return named.encoding;
  }
  return std::nullopt;
}

bool DeclarationStates(std::string_view declared, Encoding written) {
  if (declared.empty()) return written == Encoding::kUtf8 || IsUtf16(written);
  const std::string upper = AsciiUpper(declared);
  if (upper == "UTF-16") return IsUtf16(written);
  return EncodingNamed(declared) == written;
}

std::string_view DeclaredName(Encoding encoding) {
  switch (encoding) {
    case Encoding::kUtf8:
      return "UTF-8";
    case Encoding::kUtf16LE:
    case Encoding::kUtf16BE:
      return "UTF-16";
    case Encoding::kLatin1:
      return "ISO-8859-1";
    case Encoding::kWindows1252:
      return "windows-1252";
  }
  return "UTF-8";
}

}  // namespace tvb::xml
