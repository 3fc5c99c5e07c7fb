// The result document written for an arbitrary source document, as the import
// writes it: SALIDAS replaced by a status block and one teacher with one slot whose
// values need escaping. Only tvb::Error may come out. The saved file must load
// again in the encoding of the source, and saving that again must give the same
// bytes: the save loses nothing that it wrote. (A root with two SALIDAS is left
// out of that comparison: the second save fills the other one, as it should.)
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <iterator>
#include <pugixml.hpp>
#include <string_view>

#include "files/file_system.h"
#include "fuzz/scratch.h"
#include "import/result_document.h"
#include "text/error.h"
#include "xml/document.h"

namespace {

// Values with markup characters, a CDATA end, a character outside Latin-1 (€) and
// one of the bytes that Windows-1252 leaves undefined.
void WriteResult(tvb::xml::Document& doc, const std::filesystem::path& target) {
  tvb::ResultDocument result(tvb::RealFileSystem(), doc, target);
  result.Status(1);
  result.BeginTeacher(1, "E<1>&\"'", "01/09/2020");
  result.Slot(1, {"156", "1", "I1 ]]>", "R\x80", "M\t\r\n", "G\x9D"});
  result.EndTeacher();
  result.Commit();
}

// The saved document's root has one SALIDAS child element at most.
bool OneOutputsElement(const std::filesystem::path& saved) {
  pugi::xml_document doc;
  if (!doc.load_file(saved.c_str())) return false;
  const auto outputs = doc.document_element().children("SALIDAS");
  return std::distance(outputs.begin(), outputs.end()) <= 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const tvb::fuzz::ScratchDir dir;
  tvb::fuzz::EmptyDirectory(dir.path());
  const auto source = dir / "fuente.xml";
  tvb::fuzz::WriteBytes(source, std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    tvb::xml::Document doc = tvb::xml::Document::Load(tvb::RealFileSystem(), source);
    WriteResult(doc, dir / "uno.xml");
  } catch (const tvb::Error&) {
    return 0;
  }
  try {
    tvb::xml::Document again = tvb::xml::Document::Load(tvb::RealFileSystem(), dir / "uno.xml");
    if (again.encoding() != tvb::xml::Document::Load(tvb::RealFileSystem(), source).encoding()) {
      tvb::fuzz::Broken("the result is not in the encoding of its source");
    }
    WriteResult(again, dir / "dos.xml");
  } catch (const tvb::Error& error) {
    tvb::fuzz::Broken(error.what());
  }
  if (OneOutputsElement(dir / "uno.xml") &&
      tvb::fuzz::ReadBytes(dir / "uno.xml") != tvb::fuzz::ReadBytes(dir / "dos.xml")) {
    tvb::fuzz::Broken("saving the result again changes it");
  }
  return 0;
}
