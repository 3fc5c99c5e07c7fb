#include "xml/document.h"

#include <array>
#include <optional>
#include <vector>

#include "text/error.h"
#include "xml/decoding.h"
#include "xml/document_impl.h"
#include "xml/source_list.h"

namespace tvb::xml {
namespace {

constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration |
                                   pugi::parse_comments | pugi::parse_pi | pugi::parse_doctype;

std::string_view ParserReason(pugi::xml_parse_status status) {
  struct Reason {
    pugi::xml_parse_status status;
    std::string_view text;
  };
  static constexpr Reason kReasons[] = {
      {pugi::status_out_of_memory, "memoria insuficiente"},
      {pugi::status_unrecognized_tag, "etiqueta no reconocida"},
      {pugi::status_bad_pi, "instrucción de procesamiento o declaración XML mal formada"},
      {pugi::status_bad_comment, "comentario mal formado"},
      {pugi::status_bad_cdata, "sección CDATA mal formada"},
      {pugi::status_bad_doctype, "declaración de tipo de documento mal formada"},
      {pugi::status_bad_pcdata, "texto mal formado"},
      {pugi::status_bad_start_element, "etiqueta de apertura mal formada"},
      {pugi::status_bad_attribute, "atributo mal formado"},
      {pugi::status_bad_end_element, "etiqueta de cierre mal formada"},
      {pugi::status_end_element_mismatch, "etiqueta de cierre que no corresponde"},
      {pugi::status_no_document_element, "el documento no tiene elemento raíz"},
  };
  for (const Reason& reason : kReasons) {
    if (reason.status == status) return reason.text;
  }
  return "error interno del analizador XML";
}

// What the parser lets through but a well-formed document cannot have, and a save
// would write: a second root element, a declaration that is not the first node,
// a document type after the root element.
struct StructureFault {
  std::string reason;
  std::size_t offset;
};

std::optional<StructureFault> FindStructureFault(const pugi::xml_document& tree) {
  bool root_seen = false;
  for (const pugi::xml_node node : tree.children()) {
    const auto at = static_cast<std::size_t>(node.offset_debug());
    if (node.type() == pugi::node_element && root_seen) {
      return StructureFault{"el documento tiene más de un elemento raíz", at};
    }
    if (node.type() == pugi::node_declaration && node != tree.first_child()) {
      return StructureFault{"la declaración XML no está al principio del documento", at};
    }
    if (node.type() == pugi::node_doctype && root_seen) {
      return StructureFault{"la declaración de tipo de documento sigue al elemento raíz", at};
    }
    root_seen = root_seen || node.type() == pugi::node_element;
  }
  return std::nullopt;
}

[[noreturn]] void FailLoading(const Path& path, std::string_view reason, TextPosition at) {
  throw Error("No se pudo cargar el documento " + ShowPath(path) + ": " + std::string(reason) +
              " (línea " + std::to_string(at.line) + ", columna " + std::to_string(at.column) +
              ")");
}

DecodedDocument Decode(const Path& path, std::string bytes) {
  if (bytes.empty()) FailLoading(path, "el archivo está vacío", {});
  try {
    return DecodeDocument(std::move(bytes));
  } catch (const DecodingError& e) {
    FailLoading(path, e.what(), e.position);
  }
}

// Parses `text` in place: the tree keeps pointing into it, so it must live as
// long as the tree, and no copy of a large document is made. Parsing changes the
// buffer, so a failure is located in `original()`, the text as it was read.
template <typename Original>
void Parse(const Path& path, std::string& text, pugi::xml_document& tree, Original original) {
  const pugi::xml_parse_result parsed =
      tree.load_buffer_inplace(text.data(), text.size(), kParseOptions, pugi::encoding_utf8);
  if (!parsed) {
    const std::string as_read = original();
    // A document without root element is found missing at its end.
    const auto offset = parsed.status == pugi::status_no_document_element
                            ? as_read.size()
                            : static_cast<std::size_t>(parsed.offset);
    // A mismatching end tag is reported just after its "</"; otherwise the
    // parser reached the end with elements still open.
    const bool open_at_end = parsed.status == pugi::status_end_element_mismatch &&
                             (offset < 2 || as_read.compare(offset - 2, 2, "</") != 0);
    if (open_at_end) {
      FailLoading(path, "el documento termina sin cerrar todos sus elementos",
                  PositionOf(as_read, as_read.size()));
    }
    FailLoading(path, ParserReason(parsed.status), PositionOf(as_read, offset));
  }
  if (const std::optional<StructureFault> fault = FindStructureFault(tree)) {
    FailLoading(path, fault->reason, PositionOf(original(), fault->offset));
  }
}

// The record selections, compiled once: one per list name.
struct ListQuery {
  std::string_view seq;
  pugi::xpath_query query;
};

const ListQuery& QueryFor(std::string_view seq) {
  static const std::array<ListQuery, 7> kQueries = [] {
    auto query = [](std::string_view name) {
      const std::string path =
          "/SERVICIO/SALIDAS/listasal[@seq=\"" + std::string(name) + "\"]/listasal";
      return ListQuery{name, pugi::xpath_query(path.c_str())};
    };
    return std::array{query("MATERIAS"), query("TAREAS"), query("PROFESORES"), query("AULAS"),
                      query("CURSOS"),   query("GRUPOS"), query("INTERVALOS")};
  }();
  for (const ListQuery& entry : kQueries) {
    if (entry.seq == seq) return entry;
  }
  throw Error("La lista «" + std::string(seq) + "» no es una de las listas del documento");
}

}  // namespace

Document::Document(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Document::Document(Document&&) noexcept = default;
Document& Document::operator=(Document&&) noexcept = default;
Document::~Document() = default;

const Path& Document::path() const { return impl_->path; }
Encoding Document::encoding() const { return impl_->encoding; }

Document Document::Load(FileSystem& fs, const Path& path) {
  auto impl = std::make_unique<Impl>();
  impl->path = path;
  DecodedDocument decoded = Decode(path, fs.ReadAll(path));
  impl->encoding = decoded.encoding;
  impl->byte_order_mark = decoded.byte_order_mark;
  impl->text = std::move(decoded.utf8);
  Parse(path, impl->text, impl->tree, [&] { return Decode(path, fs.ReadAll(path)).utf8; });
  return Document(std::move(impl));
}

SourceList Document::List(std::string_view seq) const {
  const ListQuery& list = QueryFor(seq);
  pugi::xpath_node_set found = list.query.evaluate_node_set(impl_->tree);
  found.sort();
  std::vector<pugi::xml_node_struct*> records;
  records.reserve(found.size());
  for (const pugi::xpath_node& record : found) records.push_back(record.node().internal_object());
  return SourceList(list.seq, std::move(records));
}

pugi::xml_node_struct* Document::ReplaceRootChild(std::string_view name) {
  pugi::xml_node root = impl_->tree.document_element();
  if (!root) throw Error("El documento " + ShowPath(impl_->path) + " no tiene elemento raíz");
  const std::string wanted(name);
  const pugi::xml_node old = root.child(wanted.c_str());
  if (!old) {
    throw Error("El elemento raíz «" + std::string(root.name()) + "» del documento " +
                ShowPath(impl_->path) + " no tiene ningún elemento «" + wanted + "»");
  }
  root.remove_child(old);
  root.append_child(wanted.c_str());
  return root.child(wanted.c_str()).internal_object();
}

}  // namespace tvb::xml
