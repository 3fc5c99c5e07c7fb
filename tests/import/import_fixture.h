// Table directories built row by row for import tests, and the result document
// read back.
#pragma once

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <string>
#include <vector>

#include "import/import_run.h"
#include "tables/table_builder.h"
#include "tables/table_set.h"
#include "tests/support/temp_dir.h"

namespace tvb::testing {

// Writes `rows` (each a list of texts in field order; "" leaves a field blank)
// as table `def` into `dir`.
inline void WriteTable(const std::filesystem::path& dir, const TableDef& def,
                       const std::vector<std::vector<std::string>>& rows,
                       const std::string& file_name = "") {
  TableBuilder table(def);
  for (const auto& row : rows) {
    table.Append();
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (def.fields[i].kind == FieldKind::kText) {
        table.Set(i, row[i]);
      } else if (!row[i].empty()) {
        table.SetNumber(i, std::stod(row[i]));
      }
    }
  }
  WriteFile(dir / (file_name.empty() ? std::string(def.name) + ".DBF" : file_name),
            table.FileBytes(Today()));
}

// The eight tables with nothing in them.
inline void WriteEmptyTables(const std::filesystem::path& dir) {
  for (const TableDef* def : tables::kExportTables) WriteTable(dir, *def, {});
  WriteTable(dir, tables::kSoluc, {});
}

// A slot list as <seq>: values of its six value nodes, "|"-joined.
inline std::string Describe(const pugi::xml_node& list) {
  std::string text = list.attribute("seq").value();
  text += ":";
  bool first = true;
  for (const pugi::xml_node& value : list.children("salida")) {
    text += (first ? "" : "|") + std::string(value.child_value());
    first = false;
  }
  return text;
}

// Teacher lists with their slot lists, each described as above.
inline std::vector<std::string> DescribeTeachers(const pugi::xml_node& salidas) {
  std::vector<std::string> out;
  for (const pugi::xml_node& teacher : salidas.children("listasal")) {
    out.push_back(Describe(teacher));
    for (const pugi::xml_node& slot : teacher.children("listasal")) out.push_back("  " + Describe(slot));
  }
  return out;
}

}  // namespace tvb::testing
