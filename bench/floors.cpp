#include "bench/floors.h"

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <pugixml.hpp>
#include <sstream>
#include <stdexcept>

namespace tvb::bench {
namespace {

// The options the tool loads with, so that both parse the same nodes.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration |
                                   pugi::parse_comments | pugi::parse_pi | pugi::parse_doctype;
constexpr std::size_t kChunk = 1 << 16;

struct CloseFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, CloseFile>;

File OpenFile(const Path& path, const char* mode) {
  File file(std::fopen(path.c_str(), mode));
  if (!file) throw std::runtime_error("No se pudo abrir " + path.string());
  return file;
}

double ProcessorSeconds() {
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

template <typename Work>
Duration Measured(Work work) {
  const double cpu = ProcessorSeconds();
  const auto start = std::chrono::steady_clock::now();
  work();
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(),
          ProcessorSeconds() - cpu};
}

Duration LoadDocument(const Path& document) {
  pugi::xml_document tree;
  return Measured([&] {
    if (!tree.load_file(document.c_str(), kParseOptions, pugi::encoding_auto)) {
      throw std::runtime_error("pugixml no pudo cargar " + document.string());
    }
  });
}

Duration ReadBytes(const Path& path) {
  std::string bytes;
  const Duration seconds = Measured([&] {
    const File file = OpenFile(path, "rb");
    char buffer[kChunk];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0;) {
      bytes.append(buffer, n);
    }
  });
  if (bytes.empty()) throw std::runtime_error(path.string() + " está vacío");
  return seconds;
}

Duration WriteBytes(const Path& scratch_dir, std::uint64_t count) {
  const Path scratch = scratch_dir / "suelo.tmp";
  const std::string chunk(kChunk, 'x');
  const Duration seconds = Measured([&] {
    const File file = OpenFile(scratch, "wb");
    for (std::uint64_t left = count; left > 0;) {
      const std::size_t n = left < kChunk ? static_cast<std::size_t>(left) : kChunk;
      if (std::fwrite(chunk.data(), 1, n, file.get()) != n) {
        throw std::runtime_error("No se pudo escribir " + scratch.string());
      }
      left -= n;
    }
  });
  std::remove(scratch.c_str());
  return seconds;
}

}  // namespace

FloorTimes ExportFloor(const Path& document, std::uint64_t table_bytes, const Path& scratch_dir) {
  FloorTimes times;
  times.load = LoadDocument(document);
  times.write = WriteBytes(scratch_dir, table_bytes);
  return times;
}

FloorTimes ImportFloor(const Path& document, const Path& soluc, std::uint64_t result_bytes,
                       const Path& scratch_dir) {
  FloorTimes times;
  times.read = ReadBytes(soluc);
  times.load = LoadDocument(document);
  times.write = WriteBytes(scratch_dir, result_bytes);
  return times;
}

std::string ToLine(const FloorTimes& times) {
  std::ostringstream line;
  line.precision(9);
  for (const Duration& part : {times.read, times.load, times.write}) {
    line << part.wall << ' ' << part.cpu << ' ';
  }
  return line.str();
}

FloorTimes FromLine(std::string_view line) {
  std::istringstream in{std::string(line)};
  FloorTimes times;
  if (!(in >> times.read.wall >> times.read.cpu >> times.load.wall >> times.load.cpu >>
        times.write.wall >> times.write.cpu)) {
    throw std::runtime_error("Respuesta no válida del suelo: " + std::string(line));
  }
  return times;
}

}  // namespace tvb::bench
