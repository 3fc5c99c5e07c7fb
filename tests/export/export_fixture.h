// Runs export steps on a small document and reads back what they wrote.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "export/steps.h"
#include "tests/support/school_document.h"
#include "tests/support/temp_dir.h"
#include "xml/document.h"

namespace tvb::testing {

inline xml::Document LoadXml(const TempDir& dir, const std::string& xml) {
  const auto path = dir / "doc.xml";
  WriteFile(path, xml);
  return xml::Document::Load(RealFileSystem(), path);
}

// Column `field` of every row of `table`, as it reads back.
inline std::vector<std::string> Column(const TableBuilder& table, std::string_view field) {
  std::vector<std::string> column;
  for (std::size_t row = 0; row < table.RowCount(); ++row) {
    column.push_back(table.Text(row, table.def().IndexOf(field)));
  }
  return column;
}

using Strings = std::vector<std::string>;

}  // namespace tvb::testing
