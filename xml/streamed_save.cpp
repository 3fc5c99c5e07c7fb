#include "xml/streamed_save.h"

#include "text/ansi.h"
#include "text/error.h"
#include "xml/document_impl.h"
#include "xml/encoded_output.h"
#include "xml/markup_writer.h"
#include "xml/tree_writer.h"

namespace tvb::xml {
namespace {

bool IsElementOf(const pugi::xml_node node, const pugi::xml_document& tree) {
  if (node.type() != pugi::node_element) return false;
  pugi::xml_node top = node;
  while (top.parent()) top = top.parent();
  return top == tree;
}

// `ansi` as UTF-8: the text itself when it is all ASCII (the same bytes in both),
// else its conversion, kept in `converted`.
std::string_view AsUtf8(std::string_view ansi, std::string& converted) {
  unsigned char any = 0;
  for (const char c : ansi) any |= static_cast<unsigned char>(c);
  if (any < 0x80) return ansi;
  converted = AnsiToUtf8(ansi);
  return converted;
}

}  // namespace

struct StreamedSave::Impl {
  Impl(FileSystem& fs, const Document::Impl& doc, const Path& target)
      : target(target),
        file(fs, target),
        out(file, doc.encoding, doc.byte_order_mark),
        markup(out),
        tree(markup, doc.tree, doc.encoding) {}

  // Streamed elements are the ones opened beyond the document's own.
  bool InsideStreamed() const { return markup.open_elements() > document_depth; }
  void RequireWriting() const {
    if (committed) throw Error("El documento " + ShowPath(target) + " ya está guardado");
  }

  Path target;
  AtomicFile file;
  EncodedOutput out;
  MarkupWriter markup;
  TreeWriter tree;
  std::size_t document_depth = 0;
  bool committed = false;
};

StreamedSave::StreamedSave(FileSystem& fs, Document& doc, pugi::xml_node_struct* receiver,
                           const Path& target) {
  const Document::Impl& loaded = *doc.impl_;
  if (!IsElementOf(pugi::xml_node(receiver), loaded.tree)) {
    throw Error("El elemento que recibe el contenido no es un elemento del documento " +
                ShowPath(loaded.path));
  }
  impl_ = std::make_unique<Impl>(fs, loaded, target);
  impl_->tree.WriteUntilEndOf(pugi::xml_node(receiver));
  impl_->document_depth = impl_->markup.open_elements();
}

StreamedSave::~StreamedSave() = default;

void StreamedSave::Open(std::string_view name, std::string_view attribute, std::string_view value) {
  impl_->RequireWriting();
  std::string converted[3];
  impl_->markup.StartElement(AsUtf8(name, converted[0]), false);
  if (!attribute.empty()) {
    impl_->markup.Attribute(AsUtf8(attribute, converted[1]), AsUtf8(value, converted[2]));
  }
}

void StreamedSave::Close() {
  impl_->RequireWriting();
  if (!impl_->InsideStreamed()) {
    throw Error("No queda ningún elemento abierto al guardar " + ShowPath(impl_->target));
  }
  impl_->markup.EndElement();
}

void StreamedSave::Leaf(std::string_view name, std::string_view attribute, std::string_view value,
                        std::string_view text) {
  impl_->RequireWriting();
  std::string converted[4];
  impl_->markup.Leaf(AsUtf8(name, converted[0]), AsUtf8(attribute, converted[1]),
                     AsUtf8(value, converted[2]), AsUtf8(text, converted[3]));
}

StreamedSave::LeafShape::LeafShape(std::string_view name, std::string_view attribute,
                                   std::string_view value) {
  std::string converted;
  name_ = AsUtf8(name, converted);
  attribute_ = AsUtf8(attribute, converted);
  value_ = AsUtf8(value, converted);
  const bool plain = MarkupWriter::IsPlainName(name_) && MarkupWriter::IsPlainName(attribute_) &&
                     IsPlainAttributeValue(value_);
  if (!plain) return;
  start_ = "<" + name_;
  if (!attribute_.empty()) start_ += " " + attribute_ + "=\"" + value_ + "\"";
  end_ = "</" + name_ + ">";
}

void StreamedSave::Leaf(const LeafShape& shape, std::string_view text) {
  impl_->RequireWriting();
  std::string converted;
  if (shape.start_.empty()) {
    return impl_->markup.Leaf(shape.name_, shape.attribute_, shape.value_, AsUtf8(text, converted));
  }
  impl_->markup.PlainLeaf(shape.start_, shape.end_, AsUtf8(text, converted));
}

void StreamedSave::Commit() {
  impl_->RequireWriting();
  while (impl_->InsideStreamed()) impl_->markup.EndElement();
  impl_->tree.WriteRest();
  impl_->markup.Finish();
  impl_->file.Commit();
  impl_->committed = true;
}

}  // namespace tvb::xml
