// The named lists of a source document and their records. A record's value nodes
// are its child elements named "salida", in document order; other children do not
// count. A value is the node's text (all its text and CDATA descendants), trimmed
// of codes 0 to 32 at both ends and converted to ANSI text; a value node's name
// is its "dato" attribute, converted but not trimmed.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "xml/document.h"

namespace tvb::xml {

class Record {
 public:
  // Number of value nodes.
  std::size_t Count() const { return values_.size(); }
  // Value at `position` (from 0). A position the record lacks is an error naming
  // the list, the record's number (from 1, in document order) and the position.
  std::string Value(std::size_t position) const;
  // The "dato" name of the value node at `position`; nullopt when it has none.
  std::optional<std::string> Name(std::size_t position) const;

 private:
  friend class SourceList;
  Record(std::string_view list, std::size_t number, std::vector<pugi::xml_node_struct*> values)
      : list_(list), number_(number), values_(std::move(values)) {}
  std::string_view list_;
  std::size_t number_;
  std::vector<pugi::xml_node_struct*> values_;
};

class SourceList {
 public:
  std::string_view name() const { return name_; }
  std::size_t size() const { return records_.size(); }
  // Record `index` (from 0), with its value nodes collected.
  Record operator[](std::size_t index) const;

 private:
  friend class Document;
  SourceList(std::string_view name, std::vector<pugi::xml_node_struct*> records)
      : name_(name), records_(std::move(records)) {}
  std::string_view name_;
  std::vector<pugi::xml_node_struct*> records_;
};

}  // namespace tvb::xml
