#include "tables/file_layout.h"

#include <cstdint>

#include "text/ansi.h"
#include "text/error.h"

namespace tvb::dbf {
namespace {

constexpr char kFieldListEnd = 0x0D;

// Where the field descriptors start and how long each one is.
struct DescriptorShape {
  std::size_t first;
  std::size_t size;
  std::size_t name_length;
  std::size_t type_at;
  std::size_t length_at;  // then the decimals
};
constexpr DescriptorShape kClassic{32, 32, 11, 11, 16};
constexpr DescriptorShape kDbase7{68, 48, 32, 32, 33};

class HeaderReader {
 public:
  HeaderReader(std::string_view bytes, const std::string& what) : bytes_(bytes), what_(what) {}

  FileLayout Read() {
    if (bytes_.size() < kClassic.first) {
      Damaged("el archivo mide " + std::to_string(bytes_.size()) +
              " bytes, menos que una cabecera dBase");
    }
    const bool dbase7 = (Byte(0) & 0x07) == 4;
    layout_.binary = dbase7 ? BinaryLayout::kDbase7 : BinaryLayout::kLittleEndian;
    layout_.record_count = Little(4, 4);
    layout_.header_length = Little(8, 2);
    layout_.record_length = Little(10, 2);
    CheckHeaderLength(dbase7 ? kDbase7 : kClassic);
    ReadFields(dbase7 ? kDbase7 : kClassic);
    CheckFieldsFitRecord();
    CheckRecordsFitFile();
    return std::move(layout_);
  }

 private:
  [[noreturn]] void Damaged(const std::string& reason) const {
    throw Error(what_ + " está dañada: " + reason);
  }

  unsigned char Byte(std::size_t at) const { return static_cast<unsigned char>(bytes_[at]); }

  std::size_t Little(std::size_t at, std::size_t count) const {
    std::size_t value = 0;
    for (std::size_t i = count; i-- > 0;) value = (value << 8) | Byte(at + i);
    return value;
  }

  void CheckHeaderLength(const DescriptorShape& shape) const {
    const std::size_t minimum = shape.first + 1;
    if (layout_.header_length < minimum) {
      Damaged("la cabecera dice medir " + std::to_string(layout_.header_length) +
              " bytes, menos que los " + std::to_string(minimum) + " mínimos");
    }
    if (layout_.header_length > bytes_.size()) {
      Damaged("la cabecera dice medir " + std::to_string(layout_.header_length) +
              " bytes y el archivo solo tiene " + std::to_string(bytes_.size()));
    }
    if (layout_.record_length == 0) Damaged("la longitud de registro es cero");
  }

  void ReadFields(const DescriptorShape& shape) {
    std::size_t at = shape.first;
    std::size_t offset = 1;  // after the deletion flag
    while (at < layout_.header_length && bytes_[at] != kFieldListEnd) {
      if (at + shape.size > layout_.header_length) break;
      layout_.fields.push_back(Descriptor(bytes_.substr(at, shape.size), shape, offset));
      offset += layout_.fields.back().length;
      at += shape.size;
    }
    if (at >= layout_.header_length || bytes_[at] != kFieldListEnd) {
      Damaged("la lista de campos no termina dentro de la cabecera (falta el byte 0x0D)");
    }
    if (layout_.fields.empty()) Damaged("no tiene ningún campo");
  }

  FieldLayout Descriptor(std::string_view bytes, const DescriptorShape& shape,
                         std::size_t offset) const {
    FieldLayout field;
    const std::string_view name = bytes.substr(0, shape.name_length);
    field.name = std::string(name.substr(0, name.find('\0')));
    field.type = static_cast<char>(AsciiUpper(bytes.substr(shape.type_at, 1))[0]);
    field.offset = offset;
    field.length = static_cast<unsigned char>(bytes[shape.length_at]);
    field.decimals = static_cast<unsigned char>(bytes[shape.length_at + 1]);
    if (const auto fixed = FixedLength(field.type); fixed && *fixed != field.length) {
      Damaged("el campo " + AnsiToUtf8(field.name) + " de tipo " + field.type + " mide " +
              std::to_string(field.length) + " bytes en lugar de " + std::to_string(*fixed));
    }
    return field;
  }

  void CheckFieldsFitRecord() const {
    const FieldLayout& last = layout_.fields.back();
    const std::size_t needed = last.offset + last.length;
    if (needed > layout_.record_length) {
      Damaged("los campos ocupan " + std::to_string(needed) + " bytes por registro y el registro " +
              "solo mide " + std::to_string(layout_.record_length));
    }
  }

  void CheckRecordsFitFile() const {
    const uint64_t available = bytes_.size() - layout_.header_length;
    const uint64_t rows_present = available / layout_.record_length;
    if (layout_.record_count > rows_present) {
      Damaged("la cabecera anuncia " + std::to_string(layout_.record_count) +
              " filas y el archivo solo contiene " + std::to_string(rows_present));
    }
  }

  std::string_view bytes_;
  const std::string& what_;
  FileLayout layout_;
};

}  // namespace

FileLayout ReadFileLayout(std::string_view bytes, const std::string& what) {
  return HeaderReader(bytes, what).Read();
}

}  // namespace tvb::dbf
