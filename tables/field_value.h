// How one field of a dBase record is laid out and read. Shared by the reader
// (Table) and the writer (TableBuilder), so that a row built in memory reads back
// exactly as the written file does.
//
// Every value is first read as text: a text field without trailing blanks, a
// number in plain decimal ("3", "-2", "1.5", "" when empty). Whole and real
// numbers are then taken from that text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tvb::dbf {

// How the binary number fields (I, +, O, B, @, T, Y) of a file are stored.
enum class BinaryLayout {
  kLittleEndian,  // dBase III to V and FoxPro
  kDbase7,        // dBase 7 (version byte 0x04, 0x8C): big-endian, sign bit flipped
};

struct FieldLayout {
  std::string name;        // ANSI, as stored
  char type = 'C';         // 'C', 'N', 'F', 'I', 'L', 'D', 'B', 'O', '+', '@', 'M' ...
  std::size_t offset = 0;  // from the start of the record; byte 0 is the deletion flag
  std::size_t length = 0;
  int decimals = 0;
};

// The length a binary field must have, or nullopt when the type has no fixed length
// (a B field of any length but 8 is a binary memo).
std::optional<std::size_t> FixedLength(char type);

// True for the types whose value is a number (N, F, I, +, B, O, Y).
bool IsNumber(char type);

// The field's value within `record` as text, or nullopt when a number field holds
// something that is not a number (a damaged value). `record` spans the field.
std::optional<std::string> FieldText(const FieldLayout& field, std::string_view record,
                                     BinaryLayout layout);

// The stored text of a number field ("  -3.5000") in plain decimal ("-3.5"); the
// empty text for a blank field; nullopt when it is not a number.
std::optional<std::string> PlainDecimal(std::string_view stored);

// The stored text of an N or F field when, blanks aside, it is already plain
// decimal: a whole number without leading zeros ("12", "-3", "0"). Saves making
// the text for the common case; nullopt means "ask PlainDecimal".
std::optional<std::string_view> StoredPlainWhole(std::string_view stored);

// A number already in plain decimal as a whole number, when it is one within
// 32 bits ("" is 0).
std::optional<int32_t> WholeNumber(std::string_view plain);

// A number already in plain decimal as a real number ("" is 0).
std::optional<double> RealNumber(std::string_view plain);

}  // namespace tvb::dbf
