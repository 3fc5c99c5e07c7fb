// The header of a dBase file: where the records start, how long each is, how many
// there are, and the fields of a record. Every common variant is read: dBase III
// to V and FoxPro (32-byte field descriptors; FoxPro's header also covers the
// 263-byte backlink) and dBase 7 (48-byte descriptors from offset 68). Records
// start at the header length the file gives.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "tables/field_value.h"

namespace tvb::dbf {

struct FileLayout {
  BinaryLayout binary = BinaryLayout::kLittleEndian;
  std::size_t header_length = 0;
  std::size_t record_length = 0;
  std::size_t record_count = 0;
  std::vector<FieldLayout> fields;
};

// Reads and checks the header of the file `bytes`: every length adds up, the
// field list ends with its terminator, every field lies inside the record and
// every record inside the file. A header that fails a check throws Error
// "<what> está dañada: <reason>".
FileLayout ReadFileLayout(std::string_view bytes, const std::string& what);

}  // namespace tvb::dbf
