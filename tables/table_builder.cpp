#include "tables/table_builder.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <stdexcept>

#include "text/ansi.h"
#include "text/error.h"

namespace tvb {
namespace {

constexpr std::size_t kIntegerWidth = 11;
constexpr std::size_t kRealWidth = 20;
constexpr int kRealDecimals = 4;
constexpr std::size_t kHeaderSize = 32;
constexpr std::size_t kDescriptorSize = 32;
constexpr std::size_t kMaxNameLength = 10;  // the 11th byte ends the name
constexpr char kVersionDbase3 = 0x03;
constexpr char kWindowsAnsiDriver = 0x03;
constexpr char kFieldListEnd = 0x0D;

dbf::FieldLayout LayoutOf(const FieldDef& field, std::size_t offset) {
  dbf::FieldLayout layout;
  layout.name = std::string(field.name);
  layout.offset = offset;
  switch (field.kind) {
    case FieldKind::kText:
      layout.type = 'C';
      layout.length = static_cast<std::size_t>(field.width);
      break;
    case FieldKind::kInteger:
      layout.type = 'N';
      layout.length = kIntegerWidth;
      break;
    case FieldKind::kReal:
      layout.type = 'N';
      layout.length = kRealWidth;
      layout.decimals = kRealDecimals;
      break;
  }
  return layout;
}

void CheckDefinition(const TableDef& table, const FieldDef& field) {
  const bool name_fits = !field.name.empty() && field.name.size() <= kMaxNameLength;
  const bool width_fits =
      field.kind != FieldKind::kText || (field.width >= 1 && field.width <= 254);
  if (!name_fits || !width_fits) {
    throw std::logic_error("field " + std::string(field.name) + " of table " +
                           std::string(table.name) + " cannot be stored in a dBase III file");
  }
}

// A number as the field stores it, without padding; nullopt when it is not finite.
std::optional<std::string> NumberText(FieldKind kind, double value) {
  if (!std::isfinite(value) || std::fabs(value) >= 1e18) return std::nullopt;
  if (kind == FieldKind::kInteger) return std::to_string(std::llround(value));
  char buffer[64];
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, kRealDecimals);
  std::string text(buffer, result.ptr);
  // A tiny negative value rounds to "-0.0000", which is plain zero.
  if (text.find_first_not_of("-0.") == std::string::npos) text.erase(0, text[0] == '-' ? 1 : 0);
  return text;
}

std::string ShortestText(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

void PutLittle(std::string& out, std::size_t at, uint64_t value, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    out[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

TableBuilder::TableBuilder(const TableDef& def) : def_(def) {
  for (const FieldDef& field : def.fields) {
    CheckDefinition(def, field);
    fields_.push_back(LayoutOf(field, record_length_));
    record_length_ += fields_.back().length;
  }
  if (record_length_ > 0xFFFF || HeaderLength() > 0xFFFF) {
    throw std::logic_error("table " + std::string(def.name) + " is too wide for a dBase III file");
  }
}

void TableBuilder::Append() { records_.append(record_length_, ' '); }

std::span<char> TableBuilder::LastRowField(std::size_t field, bool number) {
  if (records_.empty()) throw std::logic_error("a field was set before the first Append");
  if (field >= fields_.size()) throw std::out_of_range("no such field in the table");
  if ((def_.fields[field].kind != FieldKind::kText) != number) {
    throw std::logic_error("field " + fields_[field].name + " set with a value of another kind");
  }
  const std::size_t start = records_.size() - record_length_ + fields_[field].offset;
  return std::span<char>(records_.data() + start, fields_[field].length);
}

void TableBuilder::Set(std::size_t field, std::string_view ansi) {
  const std::span<char> bytes = LastRowField(field, false);
  const std::size_t kept = std::min(ansi.size(), bytes.size());
  std::copy_n(ansi.begin(), kept, bytes.begin());
  std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(kept), bytes.end(), ' ');
}

void TableBuilder::SetNumber(std::size_t field, double value) {
  const std::span<char> bytes = LastRowField(field, true);
  const std::optional<std::string> text = NumberText(def_.fields[field].kind, value);
  if (!text || text->size() > bytes.size()) {
    throw Error("El valor " + ShortestText(value) + " no cabe en el campo " + fields_[field].name +
                " de la tabla " + std::string(def_.name));
  }
  std::fill(bytes.begin(), bytes.end(), ' ');
  std::copy(text->begin(), text->end(), bytes.end() - static_cast<std::ptrdiff_t>(text->size()));
}

std::size_t TableBuilder::RowCount() const { return records_.size() / record_length_; }

std::string TableBuilder::Text(std::size_t row, std::size_t field) const {
  if (row >= RowCount() || field >= fields_.size()) {
    throw std::out_of_range("no such row or field in the table being built");
  }
  const std::string_view record(records_.data() + row * record_length_, record_length_);
  return dbf::FieldText(fields_[field], record, dbf::BinaryLayout::kLittleEndian).value();
}

std::size_t TableBuilder::HeaderLength() const {
  return kHeaderSize + kDescriptorSize * fields_.size() + 1;
}

std::string TableBuilder::Header(std::chrono::year_month_day today) const {
  if (RowCount() > 0xFFFFFFFF) {
    throw Error("La tabla " + std::string(def_.name) + " tiene más filas de las que caben");
  }
  std::string header(HeaderLength(), '\0');
  header[0] = kVersionDbase3;
  header[1] = static_cast<char>(std::clamp(static_cast<int>(today.year()) - 1900, 0, 255));
  header[2] = static_cast<char>(static_cast<unsigned>(today.month()));
  header[3] = static_cast<char>(static_cast<unsigned>(today.day()));
  PutLittle(header, 4, RowCount(), 4);
  PutLittle(header, 8, HeaderLength(), 2);
  PutLittle(header, 10, record_length_, 2);
  header[29] = kWindowsAnsiDriver;
  for (std::size_t i = 0; i < fields_.size(); ++i) {
    const std::size_t at = kHeaderSize + kDescriptorSize * i;
    std::copy(fields_[i].name.begin(), fields_[i].name.end(), header.begin() + at);
    header[at + 11] = fields_[i].type;
    header[at + 16] = static_cast<char>(fields_[i].length);
    header[at + 17] = static_cast<char>(fields_[i].decimals);
  }
  header.back() = kFieldListEnd;
  return header;
}

std::string TableBuilder::FileBytes(std::chrono::year_month_day today) const {
  std::string bytes;
  bytes.reserve(HeaderLength() + records_.size() + 1);  // one allocation, no doubling at the end
  bytes += Header(today);
  bytes += Records();
  bytes += kFileEnd;
  return bytes;
}

std::chrono::year_month_day Today() {
  return std::chrono::year_month_day(
      std::chrono::floor<std::chrono::days>(std::chrono::system_clock::now()));
}

}  // namespace tvb
