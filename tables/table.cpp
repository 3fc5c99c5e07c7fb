#include "tables/table.h"

#include <stdexcept>

#include "tables/field_value.h"
#include "tables/file_layout.h"
#include "text/ansi.h"
#include "text/error.h"
#include "text/str_to_int.h"

namespace tvb {

struct Table::Impl {
  std::string name;
  Path path;
  std::unique_ptr<HeldFile> held;  // the exclusive lock; reset by Close
  std::string bytes;
  dbf::FileLayout layout;
  std::vector<std::size_t> live_records;  // where each live record starts in `bytes`

  // "La tabla SOLUC («/dir/SOLUC.DBF»)": how messages name a damaged file.
  std::string Described() const { return "La tabla " + name + " (" + ShowPath(path) + ")"; }
};

namespace {

constexpr char kDeleted = '*';

Path FindTableFile(FileSystem& fs, const Path& dir, const std::string& name) {
  if (!fs.IsDirectory(dir)) {
    throw Error("No existe la tabla " + name + ": no existe la carpeta " + ShowPath(dir));
  }
  const std::optional<Path> found = FindIgnoringCase(fs, dir, AsciiUpper(name) + ".DBF");
  if (!found) throw Error("No existe la tabla " + name + " en " + ShowPath(dir));
  return *found;
}

std::unique_ptr<HeldFile> HoldTableFile(FileSystem& fs, const Path& path, const std::string& name) {
  try {
    return fs.Hold(path);
  } catch (const FileBusyError&) {
    throw FileBusyError("La tabla " + name + " está en uso por otro programa (" + ShowPath(path) +
                        ")");
  } catch (const FileError& error) {
    throw FileError("No se pudo abrir la tabla " + name + ": " + error.what());
  }
}

std::vector<std::size_t> LiveRecords(const std::string& bytes, const dbf::FileLayout& layout) {
  std::vector<std::size_t> live;
  live.reserve(layout.record_count);
  for (std::size_t i = 0; i < layout.record_count; ++i) {
    const std::size_t start = layout.header_length + i * layout.record_length;
    if (bytes[start] != kDeleted) live.push_back(start);
  }
  return live;
}

}  // namespace

Table Table::Open(FileSystem& fs, const Path& dir, std::string_view name) {
  auto impl = std::make_unique<Impl>();
  impl->name = std::string(name);
  impl->path = FindTableFile(fs, dir, impl->name);
  impl->held = HoldTableFile(fs, impl->path, impl->name);
  try {
    impl->bytes = impl->held->ReadAll();
  } catch (const FileError& error) {
    throw FileError("No se pudo leer la tabla " + impl->name + ": " + error.what());
  }
  impl->layout = dbf::ReadFileLayout(impl->bytes, impl->Described());
  impl->live_records = LiveRecords(impl->bytes, impl->layout);
  return Table(std::move(impl));
}

Table::Table(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Table::Table(Table&&) noexcept = default;
Table& Table::operator=(Table&&) noexcept = default;
Table::~Table() = default;

const std::string& Table::name() const {
  if (!impl_) throw std::logic_error("Table used after being moved from");
  return impl_->name;
}

void Table::Close() {
  if (!impl_) return;
  impl_->held.reset();
  impl_->bytes = std::string();
  impl_->live_records = std::vector<std::size_t>();
}

const Table::Impl& Table::Readable() const {
  if (!impl_) throw std::logic_error("Table used after being moved from");
  if (!impl_->held) throw Error("La tabla " + impl_->name + " está cerrada");
  return *impl_;
}

std::size_t Table::RowCount() const { return Readable().live_records.size(); }

std::size_t Table::FieldCount() const { return Readable().layout.fields.size(); }

std::optional<std::size_t> Table::FindField(std::string_view field) const {
  const std::string wanted = AsciiUpper(field);
  const auto& fields = Readable().layout.fields;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (AsciiUpper(fields[i].name) == wanted) return i;
  }
  return std::nullopt;
}

std::size_t Table::Field(std::string_view field) const {
  if (const auto found = FindField(field)) return *found;
  throw Error("La tabla " + impl_->name + " no tiene el campo " + AnsiToUtf8(field));
}

std::string Table::Text(std::size_t row, std::size_t field) const {
  const Impl& impl = Readable();
  if (row >= impl.live_records.size() || field >= impl.layout.fields.size()) {
    throw Error("La tabla " + impl.name + " no tiene la fila " + std::to_string(row + 1) +
                " o el campo número " + std::to_string(field + 1));
  }
  const dbf::FieldLayout& layout = impl.layout.fields[field];
  const std::string_view record(impl.bytes.data() + impl.live_records[row],
                                impl.layout.record_length);
  if (auto text = dbf::FieldText(layout, record, impl.layout.binary)) return std::move(*text);
  throw Error(impl.Described() + " está dañada: el campo " + AnsiToUtf8(layout.name) +
              " de la fila " + std::to_string(row + 1) + " no contiene un número válido");
}

std::string_view Table::TextView(std::size_t row, std::size_t field, std::string& scratch) const {
  const Impl& impl = Readable();
  if (row < impl.live_records.size() && field < impl.layout.fields.size() &&
      impl.layout.fields[field].type == 'C') {
    const dbf::FieldLayout& layout = impl.layout.fields[field];
    const std::string_view bytes(impl.bytes.data() + impl.live_records[row] + layout.offset,
                                 layout.length);
    const std::size_t end = bytes.find_last_not_of(std::string_view(" \0", 2));
    return end == bytes.npos ? std::string_view() : bytes.substr(0, end + 1);
  }
  scratch = Text(row, field);
  return scratch;
}

std::string Table::Where(std::size_t row, std::size_t field) const {
  return "Tabla " + impl_->name + ", campo " + AnsiToUtf8(impl_->layout.fields[field].name) +
         ", fila " + std::to_string(row + 1) + ": ";
}

int32_t Table::Integer(std::size_t row, std::size_t field) const {
  const std::string text = Text(row, field);
  if (dbf::IsNumber(impl_->layout.fields[field].type)) {
    if (const auto value = dbf::WholeNumber(text)) return *value;
    throw ConversionError(Where(row, field) + "'" + text + "' no es un valor entero válido");
  }
  try {
    return StrToInt(text);
  } catch (const ConversionError& error) {
    throw ConversionError(Where(row, field) + error.what());
  }
}

double Table::Real(std::size_t row, std::size_t field) const {
  const std::string text = Text(row, field);
  if (dbf::IsNumber(impl_->layout.fields[field].type)) {
    if (const auto value = dbf::RealNumber(text)) return *value;
  } else if (const std::string_view trimmed = Trim(text); !trimmed.empty()) {
    if (const auto value = dbf::RealNumber(trimmed)) return *value;
  }
  throw ConversionError(Where(row, field) + "'" + AnsiToUtf8(text) +
                        "' no es un valor real válido");
}

std::vector<std::size_t> Table::RowsWhere(std::size_t field, std::string_view value) const {
  const std::string_view wanted = TrimTrailingSpaces(value);
  std::vector<std::size_t> rows;
  for (std::size_t row = 0, count = RowCount(); row < count; ++row) {
    if (Text(row, field) == wanted) rows.push_back(row);
  }
  return rows;
}

std::unordered_map<std::string, std::vector<std::size_t>> Table::GroupBy(std::size_t field) const {
  std::unordered_map<std::string, std::vector<std::size_t>> groups;
  for (std::size_t row = 0, count = RowCount(); row < count; ++row) {
    groups[Text(row, field)].push_back(row);
  }
  return groups;
}

void TableCursor::First() { position_ = 0; }

void TableCursor::Next() {
  if (!Eof()) ++position_;
}

bool TableCursor::Eof() const {
  return position_ >= (filtered_ ? filtered_->size() : table_.RowCount());
}

std::size_t TableCursor::Row() const {
  if (Eof()) throw Error("La tabla " + table_.name() + " no tiene fila actual: está al final");
  return filtered_ ? (*filtered_)[position_] : position_;
}

std::string TableCursor::Text(std::string_view field) const {
  return table_.Text(Row(), table_.Field(field));
}

int32_t TableCursor::Integer(std::string_view field) const {
  return table_.Integer(Row(), table_.Field(field));
}

void TableCursor::SetFilter(std::string_view field, std::string_view value) {
  filtered_ = table_.RowsWhere(table_.Field(field), value);
  position_ = 0;
}

void TableCursor::ClearFilter() {
  filtered_.reset();
  position_ = 0;
}

}  // namespace tvb
