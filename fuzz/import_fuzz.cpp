// A whole import with an arbitrary solved timetable: the other tables come from an
// export of the sample school, made once; each input becomes SOLUC.DBF. Only
// tvb::Error may come out. A failed import leaves no result file and no temporary;
// a successful one leaves a result document that loads again.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "export/export_run.h"
#include "files/file_system.h"
#include "fuzz/scratch.h"
#include "import/import_run.h"
#include "text/error.h"
#include "xml/document.h"

namespace {

// The sample school exported once into `dir`/VTEMP.
class ExportedSample {
 public:
  ExportedSample() {
    std::filesystem::create_directories(tables());
    std::filesystem::copy_file(std::filesystem::path(TVB_SAMPLES_DIR) / "colegio.xml", document());
    tvb::ExportarDocumento(tvb::RealFileSystem(), document(), tables());
  }
  std::filesystem::path document() const { return dir_ / "colegio.xml"; }
  std::filesystem::path tables() const { return dir_ / "VTEMP"; }
  const std::filesystem::path& path() const { return dir_.path(); }

 private:
  tvb::fuzz::ScratchDir dir_;
};

std::size_t CountFiles(const std::filesystem::path& dir) {
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++files;
  return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const ExportedSample sample;
  const auto result = tvb::ResultPathFor(sample.document());
  std::filesystem::remove(result);
  tvb::fuzz::WriteBytes(sample.tables() / "SOLUC.DBF",
                        std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    const tvb::ImportReport report =
        tvb::ImportarDocumento(tvb::RealFileSystem(), sample.document(), sample.tables());
    if (report.result != result) tvb::fuzz::Broken("the result file is not where expected");
  } catch (const tvb::Error&) {
    if (CountFiles(sample.path()) != 2) tvb::fuzz::Broken("a failed import left a file");
  }
  if (std::filesystem::exists(result)) {
    try {
      (void)tvb::xml::Document::Load(tvb::RealFileSystem(), result);
    } catch (const tvb::Error& error) {
      tvb::fuzz::Broken(error.what());
    }
  }
  if (CountFiles(sample.tables()) != 8) tvb::fuzz::Broken("the import changed the tables");
  return 0;
}
