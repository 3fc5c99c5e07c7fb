// transvb_bench: the benchmark of the command line `transvb`. For export and
// import of synthetic schools at k = 1, 10 and 100 it prints, as Markdown, wall
// time, peak resident memory, rows per second, the floor of each run, the ratio
// of the tool to its floor and the growth from k = 10 to k = 100.
//
//   transvb_bench [--transvb RUTA] [--dir CARPETA] [--escalas 1,10,100]
//                 [--repeticiones N] [--conservar]
//   transvb_bench generar K CARPETA
//
// The subcommands suelo-exportar and suelo-importar time a floor; the benchmark
// runs them in child processes.
#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "bench/floors.h"
#include "bench/measurement.h"
#include "bench/report.h"
#include "bench/school_files.h"

namespace {

namespace bench = tvb::bench;

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadUsage = 2;

constexpr const char* kUsage =
    "Uso: transvb_bench [--transvb RUTA] [--dir CARPETA] [--escalas 1,10,100]\n"
    "                   [--repeticiones N] [--conservar]\n"
    "     transvb_bench generar K CARPETA\n"
    "\n"
    "Mide exportar e importar de colegios sintéticos de escala k frente al suelo\n"
    "de la máquina e imprime una tabla en Markdown.\n"
    "\n"
    "--transvb RUTA     la línea de órdenes medida; por omisión ../cli/transvb\n"
    "                   junto a este programa\n"
    "--dir CARPETA      carpeta de trabajo; por omisión una temporal, que se borra\n"
    "--escalas LISTA    escalas separadas por comas; por omisión 1,10,100\n"
    "--repeticiones N   ejecuciones medidas de cada operación; por omisión 5\n"
    "--conservar        no borra la carpeta temporal de trabajo\n"
    "generar K CARPETA  escribe el colegio de escala K, sus tablas y un SOLUC\n";

struct Options {
  std::optional<tvb::Path> transvb, dir;
  std::vector<std::size_t> scales = {1, 10, 100};
  int repeats = 5;
  bool keep = false;
};

int BadUsage(const std::string& why) {
  std::cerr << "transvb_bench: " << why << "\n\n" << kUsage;
  return kBadUsage;
}

// A whole number of at least 1 spelled by all of `text`.
std::optional<std::size_t> Count(std::string_view text) {
  std::size_t n = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (error != std::errc() || end != text.data() + text.size() || n == 0) return std::nullopt;
  return n;
}

std::optional<std::vector<std::size_t>> Scales(std::string_view list) {
  std::vector<std::size_t> scales;
  for (std::size_t at = 0; at <= list.size();) {
    const std::size_t comma = std::min(list.find(',', at), list.size());
    const std::optional<std::size_t> k = Count(list.substr(at, comma - at));
    if (!k) return std::nullopt;
    scales.push_back(*k);
    at = comma + 1;
  }
  return scales;
}

std::optional<Options> ParseOptions(const std::vector<std::string>& args) {
  Options options;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const bool has_value = i + 1 < args.size();
    if (args[i] == "--conservar") {
      options.keep = true;
    } else if (args[i] == "--transvb" && has_value) {
      options.transvb = args[++i];
    } else if (args[i] == "--dir" && has_value) {
      options.dir = args[++i];
    } else if (args[i] == "--escalas" && has_value) {
      const auto scales = Scales(args[++i]);
      if (!scales) return std::nullopt;
      options.scales = *scales;
    } else if (args[i] == "--repeticiones" && has_value) {
      const auto repeats = Count(args[++i]);
      if (!repeats) return std::nullopt;
      options.repeats = static_cast<int>(*repeats);
    } else {
      return std::nullopt;
    }
  }
  return options;
}

// The working directory of a run, removed at the end, errors included, when the
// benchmark made it up and was not asked to keep it.
class WorkDirectory {
 public:
  explicit WorkDirectory(const Options& options)
      : path_(
            options.dir.value_or(std::filesystem::temp_directory_path() /
                                 std::string("transvb-bench-").append(std::to_string(::getpid())))),
        remove_(!options.dir && !options.keep) {}
  WorkDirectory(const WorkDirectory&) = delete;
  WorkDirectory& operator=(const WorkDirectory&) = delete;
  ~WorkDirectory() {
    std::error_code ignored;
    if (remove_) std::filesystem::remove_all(path_, ignored);
  }
  const tvb::Path& path() const { return path_; }

 private:
  tvb::Path path_;
  bool remove_;
};

int Benchmark(const Options& options) {
  const tvb::Path self = std::filesystem::read_symlink("/proc/self/exe");
  const WorkDirectory work(options);
  bench::BenchSettings settings;
  settings.self = self;
  settings.transvb = options.transvb.value_or(self.parent_path().parent_path() / "cli" / "transvb");
  settings.work = work.path();
  settings.repeats = options.repeats;
  bench::Machine machine = bench::ThisMachine();
  machine.repeats = options.repeats;
  machine.load_before = bench::LoadAverage();
  std::vector<bench::Figures> figures;
  for (const std::size_t k : options.scales) {
    const std::vector<bench::Figures> scale = bench::MeasureScale(settings, k, std::cerr);
    figures.insert(figures.end(), scale.begin(), scale.end());
  }
  machine.load_after = bench::LoadAverage();
  bench::PrintReport(std::cout, machine, figures);
  return kDone;
}

int Subcommand(const std::vector<std::string>& args) {
  if (args[0] == "generar" && args.size() == 3) {
    const std::optional<std::size_t> k = Count(args[1]);
    if (!k) return BadUsage("escala no válida: " + args[1]);
    bench::GenerateSchool(*k, args[2]);
  } else if (args[0] == "suelo-exportar" && args.size() == 4 && Count(args[2])) {
    std::cout << bench::ToLine(bench::ExportFloor(args[1], *Count(args[2]), args[3])) << "\n";
  } else if (args[0] == "suelo-importar" && args.size() == 5 && Count(args[3])) {
    std::cout << bench::ToLine(bench::ImportFloor(args[1], args[2], *Count(args[3]), args[4]))
              << "\n";
  } else {
    return BadUsage("argumentos no válidos para " + args[0]);
  }
  return kDone;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--help") {
    std::cout << kUsage;
    return kDone;
  }
  try {
    if (!args.empty() && !args[0].starts_with("--")) return Subcommand(args);
    const std::optional<Options> options = ParseOptions(args);
    if (!options) return BadUsage("opciones no válidas");
    return Benchmark(*options);
  } catch (const std::exception& e) {
    std::cerr << "transvb_bench: " << e.what() << "\n";
    return kFailed;
  }
}
