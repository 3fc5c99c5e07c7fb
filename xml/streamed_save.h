// Saves a loaded document with new elements streamed into one of its elements,
// without building them in memory: the document is written through a temporary
// file beside the target, the new elements follow the receiving element's own
// content, and Commit() renames the temporary over the target. Destroyed without
// Commit() (an error on the way), the temporary is removed and an earlier file at
// the target is intact.
//
// The file is written in the encoding the document was loaded in (UTF-8 when none
// was declared), with a declaration that says so; a character that an 8-bit
// encoding lacks is written as a numeric character reference. Values are ANSI text.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "files/file_system.h"
#include "xml/document.h"

namespace tvb::xml {

class StreamedSave {
 public:
  // Writes the document up to the end of `receiver`'s own content.
  StreamedSave(FileSystem& fs, Document& doc, pugi::xml_node_struct* receiver, const Path& target);
  StreamedSave(const StreamedSave&) = delete;
  StreamedSave& operator=(const StreamedSave&) = delete;
  ~StreamedSave();

  // <name attribute="value">, appended to the innermost open element. An empty
  // `attribute` writes no attribute (as for ERROR), here and in Leaf().
  void Open(std::string_view name, std::string_view attribute, std::string_view value);
  // </name> of the innermost open element; an error when none is open.
  void Close();
  // <name attribute="value">text</name>; an empty text gives no text node.
  void Leaf(std::string_view name, std::string_view attribute, std::string_view value,
            std::string_view text);

  // A leaf written many times with the same element name, attribute and
  // attribute value (ANSI), converted and checked once.
  class LeafShape {
   public:
    LeafShape(std::string_view name, std::string_view attribute, std::string_view value);

   private:
    friend class StreamedSave;
    std::string name_, attribute_, value_;  // UTF-8
    std::string start_, end_;               // its tags, when all three are plain ASCII
  };
  // The same as Leaf(name, attribute, value, text) for the shape's three.
  void Leaf(const LeafShape& shape, std::string_view text);

  // Ends the elements still open, writes the rest of the document, syncs it and
  // puts it in place.
  void Commit();

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tvb::xml
