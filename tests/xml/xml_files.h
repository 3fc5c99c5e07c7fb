// Small document files for the xml/ tests, written into a scratch directory.
#pragma once

#include <string>
#include <string_view>

#include "files/file_system.h"
#include "tests/support/temp_dir.h"
#include "xml/document.h"

namespace tvb::testing {

// Writes `bytes` as `name` in `dir` and loads it.
inline xml::Document LoadBytes(const TempDir& dir, std::string_view bytes,
                               std::string_view name = "fuente.xml") {
  WriteFile(dir / name, bytes);
  return xml::Document::Load(RealFileSystem(), dir / name);
}

// UTF-16 text as bytes, with the byte order mark.
inline std::string Utf16Bytes(std::u16string_view text, bool little_endian) {
  std::string bytes = little_endian ? "\xFF\xFE" : "\xFE\xFF";
  for (const char16_t unit : text) {
    const char hi = static_cast<char>(unit >> 8);
    const char lo = static_cast<char>(unit & 0xFF);
    bytes += little_endian ? lo : hi;
    bytes += little_endian ? hi : lo;
  }
  return bytes;
}

}  // namespace tvb::testing
