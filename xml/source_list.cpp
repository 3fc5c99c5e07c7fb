#include "xml/source_list.h"

#include <pugixml.hpp>

#include "text/ansi.h"
#include "text/error.h"

namespace tvb::xml {
namespace {

bool IsText(const pugi::xml_node node) {
  return node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata;
}

// The node's text as the DOM gives it: every text and CDATA descendant, in
// document order. Walks the subtree without recursion.
std::string AllText(const pugi::xml_node node) {
  std::string text;
  pugi::xml_node at = node.first_child();
  while (at && at != node) {
    if (IsText(at)) text += at.value();
    if (at.first_child()) {
      at = at.first_child();
      continue;
    }
    while (at != node && !at.next_sibling()) at = at.parent();
    if (at != node) at = at.next_sibling();
  }
  return text;
}

[[noreturn]] void FailMissing(std::string_view list, std::size_t record, std::size_t position) {
  throw Error("Al registro " + std::to_string(record) + " de la lista " + std::string(list) +
              " le falta el valor de la posición " + std::to_string(position));
}

}  // namespace

Record SourceList::operator[](std::size_t index) const {
  std::vector<pugi::xml_node_struct*> values;
  for (const pugi::xml_node value : pugi::xml_node(records_.at(index)).children("salida")) {
    values.push_back(value.internal_object());
  }
  return Record(name_, index + 1, std::move(values));
}

std::string Record::Value(std::size_t position) const {
  if (position >= values_.size()) FailMissing(list_, number_, position);
  const pugi::xml_node node(values_[position]);
  // The usual value node holds one text node: its text needs no gathering.
  const pugi::xml_node only = node.first_child();
  if (only && IsText(only) && !only.next_sibling()) return Utf8ToAnsi(Trim(only.value()));
  return Utf8ToAnsi(Trim(AllText(node)));
}

std::optional<std::string> Record::Name(std::size_t position) const {
  if (position >= values_.size()) FailMissing(list_, number_, position);
  const pugi::xml_attribute dato = pugi::xml_node(values_[position]).attribute("dato");
  if (!dato) return std::nullopt;
  return Utf8ToAnsi(dato.value());
}

}  // namespace tvb::xml
