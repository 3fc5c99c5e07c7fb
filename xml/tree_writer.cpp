#include "xml/tree_writer.h"

#include "xml/encodings.h"

namespace tvb::xml {
namespace {

bool HoldsText(const pugi::xml_node element) {
  for (const pugi::xml_node child : element.children()) {
    if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) return true;
  }
  return false;
}

}  // namespace

TreeWriter::TreeWriter(MarkupWriter& markup, const pugi::xml_document& tree, Encoding written)
    : markup_(markup), document_(tree), written_(written), at_(tree.first_child()) {
  if (at_.type() != pugi::node_declaration) {
    markup_.Declaration({{"version", "1.0"}, {"encoding", DeclaredName(written_)}});
  }
}

void TreeWriter::WriteUntilEndOf(pugi::xml_node receiver) { Walk(receiver); }

void TreeWriter::WriteRest() { Walk(pugi::xml_node()); }

void TreeWriter::Walk(const pugi::xml_node stop) {
  while (at_) {
    if (!leaving_) {
      if (Enter(at_)) {
        if (at_.first_child()) {
          at_ = at_.first_child();
        } else {
          leaving_ = true;
        }
        continue;
      }
    } else {
      if (at_ == stop) return;
      markup_.EndElement();
    }
    Advance();
  }
}

bool TreeWriter::Enter(const pugi::xml_node node) {
  switch (node.type()) {
    case pugi::node_element:
      markup_.StartElement(node.name(), HoldsText(node));
      for (const pugi::xml_attribute attribute : node.attributes()) {
        markup_.Attribute(attribute.name(), attribute.value());
      }
      return true;
    case pugi::node_pcdata:
      markup_.Text(node.value());
      break;
    case pugi::node_cdata:
      markup_.CData(node.value());
      break;
    case pugi::node_comment:
      markup_.Comment(node.value());
      break;
    case pugi::node_pi:
      markup_.ProcessingInstruction(node.name(), node.value());
      break;
    case pugi::node_declaration:
      WriteDeclaration(node);
      break;
    case pugi::node_doctype:
      markup_.DocumentType(node.value());
      break;
    default:
      break;
  }
  return false;
}

void TreeWriter::WriteDeclaration(const pugi::xml_node declaration) {
  const pugi::xml_attribute encoding = declaration.attribute("encoding");
  const std::string_view stated = encoding.value();
  const bool states_written = encoding ? !stated.empty() && DeclarationStates(stated, written_)
                                       : DeclarationStates(stated, written_);
  MarkupWriter::PseudoAttributes attributes;
  auto add_missing_encoding = [&] {
    if (!encoding && !states_written) attributes.emplace_back("encoding", DeclaredName(written_));
  };
  if (!declaration.attribute("version")) {
    attributes.emplace_back("version", "1.0");
    add_missing_encoding();
  }
  for (const pugi::xml_attribute attribute : declaration.attributes()) {
    const std::string_view name = attribute.name();
    const bool replace = name == "encoding" && !states_written;
    attributes.emplace_back(name, replace ? DeclaredName(written_) : attribute.value());
    if (name == "version") add_missing_encoding();
  }
  markup_.Declaration(attributes);
}

void TreeWriter::Advance() {
  if (const pugi::xml_node next = at_.next_sibling()) {
    at_ = next;
    leaving_ = false;
    return;
  }
  at_ = at_.parent();
  leaving_ = true;
  if (at_ == document_) at_ = pugi::xml_node();
}

}  // namespace tvb::xml
