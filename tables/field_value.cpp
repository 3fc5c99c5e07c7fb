#include "tables/field_value.h"

#include <bit>
#include <charconv>
#include <cstdio>
#include <limits>

namespace tvb::dbf {
namespace {

// The unsigned number held in `bytes` (at most 8), in the given byte order.
uint64_t Unsigned(std::string_view bytes, bool big_endian) {
  uint64_t value = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::size_t at = big_endian ? i : bytes.size() - 1 - i;
    value = (value << 8) | static_cast<unsigned char>(bytes[at]);
  }
  return value;
}

bool AllZero(std::string_view bytes) { return bytes.find_first_not_of('\0') == bytes.npos; }

std::string_view TrimBlanks(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\0'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Text fields end in spaces, or in the zero bytes some programs pad with.
std::string StoredText(std::string_view bytes) {
  const std::size_t end = bytes.find_last_not_of(std::string_view(" \0", 2));
  return std::string(end == bytes.npos ? std::string_view() : bytes.substr(0, end + 1));
}

// A double in plain decimal with the fewest digits that read back the same value.
std::string DoubleText(double value) {
  if (value == 0) return "0";  // also -0
  char buffer[400];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  return std::string(buffer, result.ptr);
}

std::string IntegerText(int64_t value) { return std::to_string(value); }

// A 4-byte integer field (I, +).
std::optional<std::string> IntegerField(std::string_view bytes, BinaryLayout layout) {
  if (layout == BinaryLayout::kDbase7) {
    if (AllZero(bytes)) return std::string();
    const auto pattern = static_cast<uint32_t>(Unsigned(bytes, true)) ^ 0x80000000u;
    return IntegerText(static_cast<int32_t>(pattern));
  }
  return IntegerText(static_cast<int32_t>(static_cast<uint32_t>(Unsigned(bytes, false))));
}

// An 8-byte double field (B, O). dBase 7 stores it so that the bytes sort as the
// numbers do: positive values with the sign bit set, negative ones with every bit
// inverted.
std::optional<std::string> DoubleField(std::string_view bytes, BinaryLayout layout) {
  if (layout == BinaryLayout::kLittleEndian) {
    return DoubleText(std::bit_cast<double>(Unsigned(bytes, false)));
  }
  if (AllZero(bytes)) return std::string();
  uint64_t pattern = Unsigned(bytes, true);
  constexpr uint64_t kSign = uint64_t{1} << 63;
  pattern = (pattern & kSign) != 0 ? pattern ^ kSign : ~pattern;
  return DoubleText(std::bit_cast<double>(pattern));
}

// Currency (Y): a little-endian 64-bit count of ten-thousandths.
std::optional<std::string> CurrencyField(std::string_view bytes) {
  const auto units = static_cast<int64_t>(Unsigned(bytes, false));
  const uint64_t magnitude = units < 0 ? 0 - static_cast<uint64_t>(units) : units;
  std::string fraction = std::to_string(magnitude % 10000);
  fraction.insert(0, 4 - fraction.size(), '0');
  return PlainDecimal((units < 0 ? "-" : "") + std::to_string(magnitude / 10000) + "." + fraction);
}

// A Julian day number and milliseconds since midnight as "YYYY-MM-DD HH:MM:SS".
std::string TimestampText(int64_t day, int64_t milliseconds) {
  int64_t l = day + 68569;
  const int64_t n = 4 * l / 146097;
  l -= (146097 * n + 3) / 4;
  const int64_t i = 4000 * (l + 1) / 1461001;
  l = l - 1461 * i / 4 + 31;
  const int64_t j = 80 * l / 2447;
  const int64_t d = l - 2447 * j / 80;
  l = j / 11;
  const int64_t m = j + 2 - 12 * l;
  const int64_t y = 100 * (n - 49) + i + l;
  const int64_t seconds = milliseconds / 1000;
  char buffer[96];
  std::snprintf(buffer, sizeof buffer, "%04lld-%02lld-%02lld %02lld:%02lld:%02lld",
                static_cast<long long>(y), static_cast<long long>(m), static_cast<long long>(d),
                static_cast<long long>(seconds / 3600), static_cast<long long>(seconds / 60 % 60),
                static_cast<long long>(seconds % 60));
  return buffer;
}

// A timestamp (@ in dBase 7, T in FoxPro): day and milliseconds, 32 bits each.
std::optional<std::string> TimestampField(std::string_view bytes, BinaryLayout layout) {
  if (AllZero(bytes)) return std::string();
  const bool big_endian = layout == BinaryLayout::kDbase7;
  return TimestampText(static_cast<int64_t>(Unsigned(bytes.substr(0, 4), big_endian)),
                       static_cast<int64_t>(Unsigned(bytes.substr(4, 4), big_endian)));
}

std::string LogicalField(std::string_view bytes) {
  if (bytes.empty()) return {};
  if (std::string_view("TtYy").find(bytes[0]) != std::string_view::npos) return "T";
  if (std::string_view("FfNn").find(bytes[0]) != std::string_view::npos) return "F";
  return {};  // '?' or blank: not set
}

bool IsMemo(char type, std::size_t length, BinaryLayout layout) {
  if (type == 'B') return length != 8 || layout == BinaryLayout::kDbase7;
  return type == 'M' || type == 'G' || type == 'P' || type == 'W' || type == '0';
}

// Digits of `text` from `at`; advances `at` past them.
std::string_view Digits(std::string_view text, std::size_t& at) {
  const std::size_t begin = at;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') ++at;
  return text.substr(begin, at - begin);
}

}  // namespace

std::optional<std::size_t> FixedLength(char type) {
  if (type == 'I' || type == '+') return 4;
  if (std::string_view("O@TY").find(type) != std::string_view::npos) return 8;
  return std::nullopt;
}

bool IsNumber(char type) {
  return std::string_view("NFI+BOY").find(type) != std::string_view::npos;
}

std::optional<std::string> FieldText(const FieldLayout& field, std::string_view record,
                                     BinaryLayout layout) {
  const std::string_view bytes = record.substr(field.offset, field.length);
  if (IsMemo(field.type, field.length, layout)) return std::string();
  switch (field.type) {
    case 'N':
    case 'F':
      return PlainDecimal(bytes);
    case 'I':
    case '+':
      return IntegerField(bytes, layout);
    case 'B':
    case 'O':
      return DoubleField(bytes, layout);
    case 'Y':
      return CurrencyField(bytes);
    case '@':
    case 'T':
      return TimestampField(bytes, layout);
    case 'L':
      return LogicalField(bytes);
    default:
      return StoredText(bytes);
  }
}

std::optional<std::string> PlainDecimal(std::string_view stored) {
  const std::string_view text = TrimBlanks(stored);
  if (text.empty()) return std::string();
  std::size_t at = 0;
  const bool negative = text[0] == '-';
  if (text[0] == '-' || text[0] == '+') ++at;
  std::string_view whole = Digits(text, at);
  std::string_view fraction;
  if (at < text.size() && text[at] == '.') fraction = Digits(text, ++at);
  if (whole.empty() && fraction.empty()) return std::nullopt;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    // Scientific notation, which some programs write into F fields.
    double value = 0;
    const std::string plain(text.substr(text[0] == '+' ? 1 : 0));
    const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (result.ec != std::errc() || result.ptr != plain.data() + plain.size()) return std::nullopt;
    return DoubleText(value);
  }
  if (at != text.size()) return std::nullopt;
  while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
  while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
  if (whole.empty() && fraction.empty()) return "0";
  std::string plain = negative ? "-" : "";
  plain += whole.empty() ? "0" : whole;
  if (!fraction.empty()) plain.append(".").append(fraction);
  return plain;
}

std::optional<std::string_view> StoredPlainWhole(std::string_view stored) {
  const std::string_view text = TrimBlanks(stored);
  const std::string_view digits = !text.empty() && text[0] == '-' ? text.substr(1) : text;
  if (digits.empty() || (digits[0] == '0' && text.size() != 1)) return std::nullopt;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
  }
  return text;
}

std::optional<int32_t> WholeNumber(std::string_view plain) {
  if (plain.empty()) return 0;
  int64_t value = 0;
  const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (result.ec != std::errc() || result.ptr != plain.data() + plain.size()) return std::nullopt;
  if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max()) {
    return std::nullopt;
  }
  return static_cast<int32_t>(value);
}

std::optional<double> RealNumber(std::string_view plain) {
  if (plain.empty()) return 0.0;
  double value = 0;
  const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (result.ec != std::errc() || result.ptr != plain.data() + plain.size()) return std::nullopt;
  return value;
}

}  // namespace tvb::dbf
