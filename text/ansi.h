// The tool's 8-bit text. Inside the tool, text is Windows-1252 bytes held in
// std::string ("ANSI text"), on every platform. This header converts it to and
// from Unicode, trims it, changes ASCII letter case and compares it without
// regard to letter case.
//
// Unicode to Windows-1252: a character that 1252 has becomes its byte; one that it
// lacks becomes the 1252 character its canonical decomposition starts with
// (ő -> o, Č -> C), else '?', one per character. The five bytes that 1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for the C1 controls of the same
// number, so every byte survives a round trip.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tvb {

// One Unicode code point to its Windows-1252 byte, with the look-alike rule.
char CodePointToAnsi(char32_t cp);
// One Windows-1252 byte to its Unicode code point.
char32_t AnsiToCodePoint(unsigned char byte);

// UTF-8 to ANSI. Malformed UTF-8 sequences become '?', one per bad byte.
std::string Utf8ToAnsi(std::string_view utf8);
// UTF-16 (native code units) to ANSI. An unpaired surrogate becomes '?'.
std::string Utf16ToAnsi(std::u16string_view utf16);
// ANSI to UTF-8 / UTF-16; always lossless.
std::string AnsiToUtf8(std::string_view ansi);
std::u16string AnsiToUtf16(std::string_view ansi);

// Appends one code point as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

// Removes every leading and trailing character of code 0 to 32.
std::string_view Trim(std::string_view text);
// Removes trailing spaces (code 32) only: how a stored text field reads back.
std::string_view TrimTrailingSpaces(std::string_view text);

// ASCII letter case: only a-z / A-Z change, every other byte stays.
std::string AsciiUpper(std::string_view text);
std::string AsciiLower(std::string_view text);

// Upper-cases every Windows-1252 letter that has an upper-case partner
// (a-z, à-þ but ÷, š, œ, ž, ÿ). Two texts are equal without regard to letter case
// exactly when their folded forms are equal; the folded form serves as hash key.
std::string FoldCase(std::string_view ansi);
bool SameText(std::string_view a, std::string_view b);

}  // namespace tvb
