#include "bench/measurement.h"

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "bench/child_process.h"
#include "bench/floors.h"
#include "bench/school_files.h"
#include "tables/table_set.h"

namespace tvb::bench {
namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

ChildRun MustRun(const std::vector<std::string>& argv) {
  ChildRun run = RunChild(argv);
  if (run.exit_status != 0) {
    throw std::runtime_error("Falló " + argv[0] + " " + argv[1] + ":\n" + run.output);
  }
  return run;
}

// The record count of a dBase file, from its header.
std::uint64_t RecordCount(const Path& table) {
  std::ifstream in(table, std::ios::binary);
  std::array<unsigned char, 8> header{};
  if (!in.read(reinterpret_cast<char*>(header.data()), header.size())) {
    throw std::runtime_error("No se pudo leer " + table.string());
  }
  return header[4] | header[5] << 8 | header[6] << 16 | std::uint64_t{header[7]} << 24;
}

struct TableTotals {
  std::uint64_t rows = 0, bytes = 0;
};

TableTotals ExportedTables(const Path& dir) {
  TableTotals totals;
  for (const TableDef* def : tables::kExportTables) {
    const Path table = dir / (std::string(def->name) + ".DBF");
    totals.rows += RecordCount(table);
    totals.bytes += std::filesystem::file_size(table);
  }
  return totals;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Runs the tool and its floor `repeats` times, alternately, after one run of the
// tool that warms the file cache; fills the times and peak of `figures`.
void Measure(const BenchSettings& settings, const std::vector<std::string>& tool,
             const std::vector<std::string>& floor, Figures& figures) {
  MustRun(tool);
  std::vector<double> times, cpu_times, floors, floor_cpu_times;
  for (int i = 0; i < settings.repeats; ++i) {
    const ChildRun run = MustRun(tool);
    times.push_back(run.seconds);
    cpu_times.push_back(run.cpu_seconds);
    figures.peak_bytes = std::max(figures.peak_bytes, run.peak_bytes);
    const Duration least = FromLine(MustRun(floor).output).Total();
    floors.push_back(least.wall);
    floor_cpu_times.push_back(least.cpu);
  }
  figures.seconds = Median(times);
  figures.cpu_seconds = Median(cpu_times);
  figures.floor_seconds = Median(floors);
  figures.floor_cpu_seconds = Median(floor_cpu_times);
}

}  // namespace

std::uint64_t Figures::MemoryLimit() const {
  return 4 * std::max(source_bytes, result_document_bytes) + 64 * kMiB;
}

std::vector<Figures> MeasureScale(const BenchSettings& settings, std::size_t k, std::ostream& log) {
  const Path dir = settings.work / std::string("k").append(std::to_string(k));
  log << "k = " << k << ": generando el colegio en " << dir.string() << std::endl;
  MustRun({settings.self.string(), "generar", std::to_string(k), dir.string()});
  const SchoolFiles files = SchoolFiles::In(dir);
  const std::string transvb = settings.transvb.string();
  const std::string self = settings.self.string();
  const TableTotals tables = ExportedTables(files.tables);

  Figures exported{"exportar", k};
  exported.rows = tables.rows;
  exported.source_bytes = std::filesystem::file_size(files.document);
  exported.output_bytes = tables.bytes;
  log << "k = " << k << ": exportar" << std::endl;
  Measure(
      settings, {transvb, "exportar", files.document.string(), "--tablas", files.tables},
      {self, "suelo-exportar", files.document.string(), std::to_string(tables.bytes), files.tables},
      exported);

  const std::vector<std::string> import = {transvb, "importar", files.document.string(), "--tablas",
                                           files.tables};
  MustRun(import);
  Figures imported{"importar", k};
  imported.rows = RecordCount(files.tables / "SOLUC.DBF");
  imported.source_bytes = exported.source_bytes;
  imported.output_bytes = std::filesystem::file_size(files.result);
  log << "k = " << k << ": importar" << std::endl;
  Measure(settings, import,
          {self, "suelo-importar", files.document.string(), (files.tables / "SOLUC.DBF").string(),
           std::to_string(imported.output_bytes), files.tables},
          imported);

  exported.result_document_bytes = imported.result_document_bytes = imported.output_bytes;
  return {exported, imported};
}

}  // namespace tvb::bench
