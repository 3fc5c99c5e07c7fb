// Writes a loaded document's nodes in document order through a MarkupWriter,
// able to pause before the end tag of one element so that new content follows
// that element's own. The declaration written always states the encoding of the
// file: the document's own when it does, with the encoding set when it does not,
// a new one when the document has none.
#pragma once

#include <pugixml.hpp>

#include "xml/document.h"
#include "xml/markup_writer.h"

namespace tvb::xml {

class TreeWriter {
 public:
  TreeWriter(MarkupWriter& markup, const pugi::xml_document& tree, Encoding written);

  // Writes up to the end of `receiver`'s content, leaving its end tag open.
  // `receiver` is an element of the tree not yet written.
  void WriteUntilEndOf(pugi::xml_node receiver);
  // Writes everything not yet written.
  void WriteRest();

 private:
  void Walk(pugi::xml_node stop);
  // Writes the start of `node` (all of it when it has no content); true for an element.
  bool Enter(pugi::xml_node node);
  void WriteDeclaration(pugi::xml_node declaration);
  void Advance();

  MarkupWriter& markup_;
  pugi::xml_node document_;
  Encoding written_;
  pugi::xml_node at_;     // the next node to write, or the element to end
  bool leaving_ = false;  // at_ is an element whose content is written
};

}  // namespace tvb::xml
