// An XML exchange document, loaded whole. The facade keeps the XML library out of
// every other folder.
//
// Loading accepts UTF-8 (with or without byte order mark), UTF-16 with byte order
// mark, and the declared encodings ISO-8859-1 and Windows-1252; any other declared
// encoding, a file that is not well-formed, unreadable or empty is an error naming
// the file, the parser's reason, and the line and column. Comments, processing
// instructions, the declaration and the document type are kept, so that a saved
// document loses nothing of what was loaded.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "files/file_system.h"

namespace pugi {
struct xml_node_struct;
}

namespace tvb::xml {

enum class Encoding { kUtf8, kUtf16LE, kUtf16BE, kLatin1, kWindows1252 };

class SourceList;

class Document {
 public:
  static Document Load(FileSystem& fs, const Path& path);

  Document(Document&&) noexcept;
  Document& operator=(Document&&) noexcept;
  ~Document();

  const Path& path() const;
  // The encoding the file was read in; a save writes the same one.
  Encoding encoding() const;

  // The records of the list named `seq` under /SERVICIO/SALIDAS, in document
  // order: `seq` is one of MATERIAS, TAREAS, PROFESORES, AULAS, CURSOS, GRUPOS,
  // INTERVALOS (each selected by its own precompiled XPath).
  SourceList List(std::string_view seq) const;

  // Replaces the root's outputs element: removes the first child element of the
  // root named `name`, appends a new empty element of that name as the root's last
  // child, and returns the first child element of the root named `name` again
  // (the new one, unless the root had two). Throws when the document has no root
  // element or the root no such child; the message names the file.
  pugi::xml_node_struct* ReplaceRootChild(std::string_view name);

 private:
  friend class StreamedSave;
  struct Impl;
  explicit Document(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

}  // namespace tvb::xml
