// A whole export of an arbitrary document into a scratch table directory that
// holds the tables of an earlier export of the sample school. Only tvb::Error may
// come out. A failed export leaves the directory byte for byte as it was; a
// successful one leaves the seven new tables and nothing else, each of which
// opens and reads back with the rows the run reported.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

#include "export/export_run.h"
#include "files/file_system.h"
#include "fuzz/scratch.h"
#include "tables/table.h"
#include "text/error.h"

namespace {

using Files = std::map<std::string, std::string>;

Files ReadDirectory(const std::filesystem::path& dir) {
  Files files;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    files[entry.path().filename().string()] = tvb::fuzz::ReadBytes(entry.path());
  }
  return files;
}

// The tables of the sample school, exported once: what every run starts from.
class Baseline {
 public:
  Baseline() {
    std::filesystem::create_directories(tables());
    std::filesystem::copy_file(std::filesystem::path(TVB_SAMPLES_DIR) / "colegio.xml",
                               dir_ / "colegio.xml");
    tvb::ExportarDocumento(tvb::RealFileSystem(), dir_ / "colegio.xml", tables());
    files_ = ReadDirectory(tables());
  }
  std::filesystem::path tables() const { return dir_ / "VTEMP"; }
  const Files& files() const { return files_; }
  // Puts the directory back as the baseline left it.
  void Restore() const {
    tvb::fuzz::EmptyDirectory(tables());
    for (const auto& [name, bytes] : files_) tvb::fuzz::WriteBytes(tables() / name, bytes);
  }

 private:
  tvb::fuzz::ScratchDir dir_;
  Files files_;
};

void CheckWritten(const tvb::ExportReport& report, const std::filesystem::path& tables) {
  std::size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(tables)) ++files;
  if (files != report.tables.size()) tvb::fuzz::Broken("the export left extra files");
  for (const tvb::TableReport& written : report.tables) {
    try {
      const tvb::Table table = tvb::Table::Open(tvb::RealFileSystem(), tables, written.table);
      if (table.RowCount() != written.rows) tvb::fuzz::Broken("a table lost rows");
      for (std::size_t row = 0; row < table.RowCount(); ++row) {
        for (std::size_t field = 0; field < table.FieldCount(); ++field) {
          (void)table.Text(row, field);
        }
      }
    } catch (const tvb::Error& error) {
      tvb::fuzz::Broken(error.what());
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  static const Baseline baseline;
  static const tvb::fuzz::ScratchDir dir;
  const auto document = dir / "fuente.xml";
  baseline.Restore();
  tvb::fuzz::WriteBytes(document, std::string_view(reinterpret_cast<const char*>(data), size));
  try {
    const tvb::ExportReport report =
        tvb::ExportarDocumento(tvb::RealFileSystem(), document, baseline.tables());
    CheckWritten(report, baseline.tables());
  } catch (const tvb::Error&) {
    if (ReadDirectory(baseline.tables()) != baseline.files()) {
      tvb::fuzz::Broken("a failed export changed the table directory");
    }
  }
  return 0;
}
