#include "tables/table.h"

#include <charconv>
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
  std::size_t row_count = 0;              // live records
  std::vector<std::size_t> live_records;  // where each starts, when some record is deleted

  // Where live record `row` starts in `bytes`. A table without deleted records,
  // the usual case, needs no list: the walks read rows out of order, and every
  // lookup in a list of starts would be one more trip to memory.
  std::size_t RecordStart(std::size_t row) const {
    return row_count == layout.record_count ? layout.header_length + row * layout.record_length
                                : live_records[row];
  }
  // Counts the live records and, when some record is deleted, lists where each starts.
  void FindLiveRecords() {
    constexpr char kDeleted = '*';
    auto start_of = [&](std::size_t i) { return layout.header_length + i * layout.record_length; };
    std::size_t i = 0;
    while (i < layout.record_count && bytes[start_of(i)] != kDeleted) ++i;
    row_count = layout.record_count;
    if (i == layout.record_count) return;
    for (std::size_t j = 0; j < layout.record_count; ++j) {
      if (bytes[start_of(j)] != kDeleted) live_records.push_back(start_of(j));
    }
    row_count = live_records.size();
  }

  // "La tabla SOLUC («/dir/SOLUC.DBF»)": how messages name a damaged file.
  std::string Described() const { return "La tabla " + name + " (" + ShowPath(path) + ")"; }
};

namespace {

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
  impl->FindLiveRecords();
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
  impl_->row_count = 0;
}

const Table::Impl& Table::Readable() const {
  if (!impl_) throw std::logic_error("Table used after being moved from");
  if (!impl_->held) throw Error("La tabla " + impl_->name + " está cerrada");
  return *impl_;
}

std::size_t Table::RowCount() const { return Readable().row_count; }

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
  if (row >= impl.row_count || field >= impl.layout.fields.size()) {
    throw Error("La tabla " + impl.name + " no tiene la fila " + std::to_string(row + 1) +
                " o el campo número " + std::to_string(field + 1));
  }
  const dbf::FieldLayout& layout = impl.layout.fields[field];
  const std::string_view record(impl.bytes.data() + impl.RecordStart(row),
                                impl.layout.record_length);
  if (auto text = dbf::FieldText(layout, record, impl.layout.binary)) return std::move(*text);
  throw Error(impl.Described() + " está dañada: el campo " + AnsiToUtf8(layout.name) +
              " de la fila " + std::to_string(row + 1) + " no contiene un número válido");
}

std::string_view Table::TextView(std::size_t row, std::size_t field, std::string& scratch) const {
  if (const auto stored = StoredView(row, field)) return *stored;
  scratch = Text(row, field);
  return scratch;
}

std::optional<std::string_view> Table::StoredView(std::size_t row, std::size_t field) const {
  const Impl& impl = Readable();
  if (row >= impl.row_count || field >= impl.layout.fields.size()) return std::nullopt;
  const dbf::FieldLayout& layout = impl.layout.fields[field];
  const std::string_view bytes(impl.bytes.data() + impl.RecordStart(row) + layout.offset,
                               layout.length);
  switch (layout.type) {
    case 'C': {
      std::size_t length = bytes.size();
      while (length > 0 && (bytes[length - 1] == ' ' || bytes[length - 1] == '\0')) --length;
      return bytes.substr(0, length);
    }
    case 'N':
    case 'F':
      return dbf::StoredPlainWhole(bytes);
    default:
      return std::nullopt;
  }
}

bool Table::IsCharacterField(std::size_t field) const {
  const Impl& impl = Readable();
  return field < impl.layout.fields.size() && impl.layout.fields[field].type == 'C';
}

void Table::Prefetch(std::size_t row) const {
  const Impl& impl = Readable();
  if (row < impl.row_count) __builtin_prefetch(impl.bytes.data() + impl.RecordStart(row));
}

std::string Table::Where(std::size_t row, std::size_t field) const {
  return "Tabla " + impl_->name + ", campo " + AnsiToUtf8(impl_->layout.fields[field].name) +
         ", fila " + std::to_string(row + 1) + ": ";
}

int32_t Table::Integer(std::size_t row, std::size_t field) const {
  // A plain whole number of nine digits at most fits 32 bits: read it as it is stored.
  const Impl& impl = Readable();
  if (field < impl.layout.fields.size() && impl.layout.fields[field].type != 'C') {
    if (const auto stored = StoredView(row, field); stored && stored->size() <= 9) {
      int32_t value = 0;
      std::from_chars(stored->data(), stored->data() + stored->size(), value);
      return value;
    }
  }
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
