// Loading a document from arbitrary bytes and walking its seven lists: every
// record, every value and every "dato" name. Only tvb::Error may come out, and a
// position past a record's last value must be refused.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/file_system.h"
#include "fuzz/scratch.h"
#include "text/error.h"
#include "xml/document.h"
#include "xml/source_list.h"

namespace {

constexpr std::string_view kLists[] = {"MATERIAS", "TAREAS", "PROFESORES", "AULAS",
                                       "CURSOS",   "GRUPOS", "INTERVALOS"};

void WalkRecord(const tvb::xml::Record& record) {
  for (std::size_t position = 0; position < record.Count(); ++position) {
    (void)record.Value(position);
    (void)record.Name(position);
  }
  try {
    (void)record.Value(record.Count());
    tvb::fuzz::Broken("a value past the last one was read");
  } catch (const tvb::Error&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const tvb::fuzz::ScratchDir dir;
  const auto path = dir / "fuente.xml";
  tvb::fuzz::WriteBytes(path, std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    const auto document = tvb::xml::Document::Load(tvb::RealFileSystem(), path);
    for (const std::string_view name : kLists) {
      const tvb::xml::SourceList list = document.List(name);
      for (std::size_t i = 0; i < list.size(); ++i) WalkRecord(list[i]);
    }
  } catch (const tvb::Error&) {
  }
  return 0;
}
