// What the interoperability tests share: the sample school with text that only
// Windows-1252 (and beyond it, only Unicode) can hold, other programs run through
// the shell, and plain encoders and decoders of the document encodings, written
// here so that the tests do not lean on the code under test.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/temp_dir.h"
#include "text/ansi.h"

namespace tvb::testing {

// A subject name of the sample with characters of the 0x80-0x9F range of
// Windows-1252 (€ Œ “ ”), Latin-1 ones (« »), and one that 1252 lacks (ő, stored
// as "o"). It fits the 40 characters of ASIGNOMT.NOMBRE.
inline constexpr std::string_view kRichSubject = "Matemáticas I € «Œ» “x” ő";
// An input value of the document that the import keeps: the first character
// lies beyond the Basic Multilingual Plane.
inline constexpr std::string_view kRichInput = "𝄞 € ő «ñ» “x”";

inline std::filesystem::path SamplesDir() {
  const char* source = std::getenv("TVB_SOURCE_DIR");
  if (source == nullptr) throw std::runtime_error("TVB_SOURCE_DIR is not set");
  return std::filesystem::path(source) / "samples";
}

inline void ReplaceOnce(std::string& text, std::string_view from, std::string_view to) {
  const std::size_t at = text.find(from);
  if (at == std::string::npos) throw std::runtime_error("not in the sample: " + std::string(from));
  text.replace(at, from.size(), to);
}

// samples/colegio.xml (UTF-8) with kRichSubject and kRichInput in it.
inline std::string RichSample() {
  std::string text = ReadFile(SamplesDir() / "colegio.xml");
  ReplaceOnce(text, ">Matemáticas I<", ">" + std::string(kRichSubject) + "<");
  ReplaceOnce(text, "</ENTRADAS>",
              "  <entrada dato=\"NOTA\">" + std::string(kRichInput) + "</entrada>\n  </ENTRADAS>");
  return text;
}

// A shell command's exit status (as system() gives it) and standard output.
struct CommandResult {
  int status = -1;
  std::string output;
};

inline CommandResult Run(const std::string& command) {
  CommandResult result;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  if (!pipe) throw std::runtime_error("popen failed: " + command);
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0)
    result.output.append(buffer, got);
  result.status = ::pclose(pipe.release());
  return result;
}

inline bool Present(const std::string& check) {
  return std::system((check + " >/dev/null 2>&1").c_str()) == 0;
}

inline std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

// Unicode code points of UTF-8 text (well-formed, as the tests write it).
inline std::u32string CodePoints(std::string_view utf8) {
  std::u32string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int extra = lead < 0x80 ? 0 : lead < 0xE0 ? 1 : lead < 0xF0 ? 2 : 3;
    char32_t cp = extra == 0 ? lead : lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out += cp;
    i += 1 + extra;
  }
  return out;
}

inline std::string Utf8(std::u32string_view code_points) {
  std::string out;
  for (const char32_t cp : code_points) AppendUtf8(out, cp);
  return out;
}

// UTF-16 code units of `text`, with the byte order mark, in either byte order.
inline std::string EncodeUtf16(std::string_view utf8, bool little_endian) {
  std::string out;
  const auto put = [&](char32_t unit) {
    const char hi = static_cast<char>(unit >> 8), lo = static_cast<char>(unit & 0xFF);
    out += little_endian ? lo : hi;
    out += little_endian ? hi : lo;
  };
  put(0xFEFF);
  for (const char32_t cp : CodePoints(utf8)) {
    if (cp < 0x10000) {
      put(cp);
    } else {
      put(0xD800 + ((cp - 0x10000) >> 10));
      put(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
  }
  return out;
}

inline std::string DecodeUtf16(std::string_view bytes, bool little_endian) {
  std::u32string out;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<unsigned char>(bytes[i]),
               b = static_cast<unsigned char>(bytes[i + 1]);
    const char32_t unit = little_endian ? (b << 8 | a) : (a << 8 | b);
    if (unit >= 0xDC00 && unit < 0xE000 && !out.empty() && out.back() >= 0xD800 &&
        out.back() < 0xDC00) {
      out.back() = 0x10000 + ((out.back() - 0xD800) << 10) + (unit - 0xDC00);
    } else {
      out += unit;
    }
  }
  if (!out.empty() && out.front() == 0xFEFF) out.erase(0, 1);
  return Utf8(out);
}

// An 8-bit encoding: Latin-1 (`windows1252` false) or Windows-1252. A character
// that it lacks becomes a numeric character reference, which is right where the
// tests put such characters: in element content.
inline std::string EncodeEightBit(std::string_view utf8, bool windows1252) {
  std::string out;
  for (const char32_t cp : CodePoints(utf8)) {
    if (!windows1252 && cp < 0x100) {
      out += static_cast<char>(cp);
    } else if (windows1252 &&
               AnsiToCodePoint(static_cast<unsigned char>(CodePointToAnsi(cp))) == cp) {
      out += CodePointToAnsi(cp);
    } else {
      out += "&#" + std::to_string(static_cast<uint32_t>(cp)) + ";";
    }
  }
  return out;
}

inline std::string DecodeEightBit(std::string_view bytes, bool windows1252) {
  std::u32string out;
  for (const char byte : bytes) {
    const auto b = static_cast<unsigned char>(byte);
    out += windows1252 ? AnsiToCodePoint(b) : char32_t{b};
  }
  return Utf8(out);
}

}  // namespace tvb::testing
