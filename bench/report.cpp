#include "bench/report.h"

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>

namespace tvb::bench {
namespace {

constexpr double kMiB = 1024.0 * 1024.0;

std::string Format(const char* format, double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
}

std::string Mib(double bytes) { return Format("%.1f", bytes / kMiB); }
std::string Ms(double seconds) { return Format("%.1f", seconds * 1000); }

std::optional<Figures> Find(const std::vector<Figures>& figures, std::string_view operation,
                            std::size_t k) {
  for (const Figures& f : figures) {
    if (f.operation == operation && f.k == k) return f;
  }
  return std::nullopt;
}

std::string Verdict(bool met) { return met ? "cumple" : "**no cumple**"; }

void PrintFigures(std::ostream& out, const std::vector<Figures>& figures) {
  out << "| operación | k | filas | origen (MiB) | salida (MiB) | tiempo (ms) | suelo (ms) "
         "| razón | filas/s | memoria pico (MiB) | límite (MiB) |\n"
      << "|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|\n";
  for (const Figures& f : figures) {
    out << "| " << f.operation << " | " << f.k << " | " << f.rows << " | "
        << Mib(static_cast<double>(f.source_bytes)) << " | "
        << Mib(static_cast<double>(f.output_bytes)) << " | " << Ms(f.seconds) << " | "
        << Ms(f.floor_seconds) << " | " << Format("%.2f", f.Ratio()) << " | "
        << Format("%.0f", f.RowsPerSecond()) << " | " << Mib(static_cast<double>(f.peak_bytes))
        << " | " << Mib(static_cast<double>(f.MemoryLimit())) << " |\n";
  }
}

// Processor time (user and system): less disturbed than wall time by other work
// on the machine, so it tells what the tool costs when the machine is shared.
void PrintProcessorTime(std::ostream& out, const std::vector<Figures>& figures) {
  out << "| operación | k | cpu (ms) | cpu del suelo (ms) | razón de cpu |\n"
      << "|---|--:|--:|--:|--:|\n";
  for (const Figures& f : figures) {
    out << "| " << f.operation << " | " << f.k << " | " << Ms(f.cpu_seconds) << " | "
        << Ms(f.floor_cpu_seconds) << " | " << Format("%.2f", f.CpuRatio()) << " |\n";
  }
  out << "\n";
}

void PrintGrowth(std::ostream& out, const std::vector<Figures>& figures) {
  if (!Find(figures, "exportar", 10) || !Find(figures, "exportar", 100)) return;
  out << "| operación | tiempo k=10 (ms) | tiempo k=100 (ms) | crecimiento | crecimiento del "
         "suelo | objetivo ≤ 12 |\n"
      << "|---|--:|--:|--:|--:|---|\n";
  for (const std::string_view operation : {"exportar", "importar"}) {
    const auto small = Find(figures, operation, 10);
    const auto large = Find(figures, operation, 100);
    if (!small || !large) continue;
    const double growth = large->seconds / small->seconds;
    out << "| " << operation << " | " << Ms(small->seconds) << " | " << Ms(large->seconds) << " | "
        << Format("%.2f", growth) << " | "
        << Format("%.2f", large->floor_seconds / small->floor_seconds) << " | "
        << Verdict(growth <= kMaxGrowth) << " |\n";
  }
  out << "\n";
}

void PrintTargets(std::ostream& out, const std::vector<Figures>& figures) {
  for (const std::string_view operation : {"exportar", "importar"}) {
    if (const auto large = Find(figures, operation, 100)) {
      out << "- Razón al suelo de " << operation
          << " en k = 100 ≤ 2.0: " << Format("%.2f", large->Ratio()) << ", "
          << Verdict(large->Ratio() <= kMaxRatio) << ".\n";
    }
  }
  bool memory_met = true;
  for (const Figures& f : figures) memory_met = memory_met && f.peak_bytes <= f.MemoryLimit();
  out << "- Memoria pico ≤ 4 × max(documento origen, documento resultado) + 64 MiB en "
         "todas las medidas: "
      << Verdict(memory_met) << ".\n";
}

std::string FirstLineOf(const char* path) {
  std::ifstream in(path);
  std::string line;
  std::getline(in, line);
  return line;
}

std::string ProcessorName() {
  std::ifstream in("/proc/cpuinfo");
  for (std::string line; std::getline(in, line);) {
    if (line.starts_with("model name")) return line.substr(line.find(':') + 2);
  }
  return "desconocido";
}

}  // namespace

std::string LoadAverage() {
  std::istringstream in(FirstLineOf("/proc/loadavg"));
  std::string one, five, fifteen;
  in >> one >> five >> fifteen;
  return one + " " + five + " " + fifteen;
}

Machine ThisMachine() {
  Machine machine;
  machine.cores = static_cast<unsigned>(::sysconf(_SC_NPROCESSORS_ONLN));
  machine.processor = ProcessorName();
  return machine;
}

void PrintReport(std::ostream& out, const Machine& machine, const std::vector<Figures>& figures) {
  out << "\nMáquina: " << machine.cores << " núcleos (" << machine.processor
      << "); carga media (1, 5, 15 min) al empezar " << machine.load_before << ", al terminar "
      << machine.load_after << ". Tiempos: mediana de " << machine.repeats
      << " ejecuciones; memoria: la mayor.\n\n";
  PrintFigures(out, figures);
  out << "\n";
  PrintProcessorTime(out, figures);
  PrintGrowth(out, figures);
  PrintTargets(out, figures);
}

}  // namespace tvb::bench
