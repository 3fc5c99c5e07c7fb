// Hand-built dBase files for the table tests: any version byte, 32-byte or
// dBase 7 48-byte field descriptors, records given byte for byte.
#pragma once

#include <bit>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tvb::testing {

struct TestField {
  std::string name;
  char type;
  int length;
  int decimals = 0;
};

inline void PutLittle(std::string& out, std::size_t at, uint64_t value, int count) {
  for (int i = 0; i < count; ++i) out[at + i] = static_cast<char>(value >> (8 * i));
}

inline std::string Little(uint64_t value, int count) {
  std::string out(count, '\0');
  PutLittle(out, 0, value, count);
  return out;
}

inline std::string Big(uint64_t value, int count) {
  std::string out(count, '\0');
  for (int i = 0; i < count; ++i) out[i] = static_cast<char>(value >> (8 * (count - 1 - i)));
  return out;
}

inline uint64_t Bits(double value) { return std::bit_cast<uint64_t>(value); }

// A whole file. dBase 7 (version byte with low bits 4) gets its 68-byte header
// and 48-byte descriptors; `backlink` bytes (FoxPro: 263) follow the terminator.
inline std::string DbfBytes(uint8_t version, const std::vector<TestField>& fields,
                            const std::vector<std::string>& records, std::size_t backlink = 0) {
  const bool dbase7 = (version & 0x07) == 4;
  const std::size_t first = dbase7 ? 68 : 32;
  const std::size_t size = dbase7 ? 48 : 32;
  const std::size_t type_at = dbase7 ? 32 : 11;
  const std::size_t length_at = dbase7 ? 33 : 16;
  std::string header(first + size * fields.size() + 1 + backlink, '\0');
  std::size_t record_length = 1;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    const std::size_t at = first + size * i;
    header.replace(at, fields[i].name.size(), fields[i].name);
    header[at + type_at] = fields[i].type;
    header[at + length_at] = static_cast<char>(fields[i].length);
    header[at + length_at + 1] = static_cast<char>(fields[i].decimals);
    record_length += static_cast<std::size_t>(fields[i].length);
  }
  header[0] = static_cast<char>(version);
  header[1] = 124;  // 2024-05-17
  header[2] = 5;
  header[3] = 17;
  PutLittle(header, 4, records.size(), 4);
  PutLittle(header, 8, header.size(), 2);
  PutLittle(header, 10, record_length, 2);
  header[29] = 0x03;
  header[first + size * fields.size()] = 0x0D;
  std::string bytes = header;
  for (const std::string& record : records) bytes += record;
  return bytes + '\x1A';
}

}  // namespace tvb::testing
