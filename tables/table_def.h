// The shape of a timetable table: its name and its fields, each with its exact
// name, kind and width, in the order of the file.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <stdexcept>
#include <string_view>

namespace tvb {

enum class FieldKind {
  kText,     // character field of the given width
  kInteger,  // whole number, stored as numeric width 11, no decimals
  kReal,     // real number, stored as numeric width 20, 4 decimals
};

struct FieldDef {
  std::string_view name;
  FieldKind kind;
  int width;  // characters of a text field; 0 for numbers (their width is fixed)
};

struct TableDef {
  std::string_view name;  // upper case, without extension: "ASIGNOMT"
  std::span<const FieldDef> fields;

  // Position of the field `field`, which must be one of this table's. Worked out
  // while compiling, so that a misspelt field name does not compile.
  consteval std::size_t Index(std::string_view field) const { return IndexOf(field); }

  // The same for a name known only at run time.
  constexpr std::size_t IndexOf(std::string_view field) const {
    for (std::size_t i = 0; i < fields.size(); ++i) {
      if (fields[i].name == field) return i;
    }
    throw std::invalid_argument("unknown field");
  }
};

}  // namespace tvb
