// The inside of a Document, shared by the files of this folder only.
#pragma once

#include <pugixml.hpp>

#include "xml/document.h"

namespace tvb::xml {

struct Document::Impl {
  Path path;
  Encoding encoding = Encoding::kUtf8;
  bool byte_order_mark = false;  // a UTF-8 file began with one; a save writes it again
  std::string text;              // the document as UTF-8, parsed in place: the tree points into it
  pugi::xml_document tree;
};

}  // namespace tvb::xml
