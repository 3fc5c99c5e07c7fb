// transvb: the command-line front end. One run per call, as the window does it,
// without dialogs: the document is given.
//
//   transvb exportar ARCHIVO.xml [--tablas DIR]
//   transvb importar ARCHIVO.xml [--tablas DIR]
//
// Exit status: 0 done, 1 the run failed, 2 bad usage.
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "export/export_run.h"
#include "import/import_run.h"
#include "tables/table_directory.h"
#include "text/ansi.h"

namespace {

constexpr int kDone = 0;
constexpr int kFailed = 1;
constexpr int kBadUsage = 2;

constexpr const char* kUsage =
    "Uso: transvb exportar ARCHIVO.xml [--tablas DIR]\n"
    "     transvb importar ARCHIVO.xml [--tablas DIR]\n"
    "\n"
    "exportar  convierte el documento de Brivo en las tablas de Vestrano\n"
    "importar  convierte el horario resuelto (SOLUC) en el documento de resultado,\n"
    "          que se guarda junto al documento como ResultadoTovira<nombre>\n"
    "\n"
    "--tablas DIR  carpeta de las tablas; por omisión $VTEMP_DIR, o C:\\VTEMP\n"
    "              dentro de Wine ($WINEPREFIX/drive_c/VTEMP, ~/.wine por omisión)\n"
    "--help        muestra esta ayuda\n"
    "--version     muestra la versión\n";

struct Command {
  std::string mode;  // "exportar" or "importar"
  tvb::Path document;
  std::optional<tvb::Path> tables;
};

int BadUsage(const std::string& why) {
  std::cerr << "transvb: " << why << "\n\n" << kUsage;
  return kBadUsage;
}

void PrintExport(const tvb::ExportReport& report, const tvb::Path& tables) {
  std::cout << "Tablas escritas en " << tvb::ShowPath(tables) << ":\n";
  for (const tvb::TableReport& table : report.tables) {
    std::printf("  %-10s %8zu filas\n", std::string(table.table).c_str(), table.rows);
  }
}

void PrintImport(const tvb::ImportReport& report) {
  std::cout << "Profesores: " << report.teachers << "\n"
            << "Tramos: " << report.slots << "\n"
            << "Resultado: " << tvb::ShowPath(report.result) << "\n";
}

int Run(const Command& command) {
  const tvb::Path tables = command.tables.value_or(tvb::DefaultTableDirectory());
  try {
    if (command.mode == "exportar") {
      PrintExport(tvb::ExportarDocumento(tvb::RealFileSystem(), command.document, tables), tables);
    } else {
      PrintImport(tvb::ImportarDocumento(tvb::RealFileSystem(), command.document, tables));
    }
  } catch (const tvb::Error& e) {
    std::cout.flush();
    std::cerr << e.what() << "\n";
    return kFailed;
  } catch (const std::exception& e) {
    std::cerr << "Error inesperado: " << e.what() << "\n";
    return kFailed;
  }
  std::cout << "Proceso finalizado\n";
  return kDone;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 1 && args[0] == "--help") {
    std::cout << kUsage;
    return kDone;
  }
  if (args.size() == 1 && args[0] == "--version") {
    std::cout << "transvb (TransVestranoBrivo) V-1.4\n";
    return kDone;
  }
  Command command;
  std::vector<std::string> positional;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--tablas") {
      if (i + 1 == args.size()) return BadUsage("falta la carpeta tras --tablas");
      command.tables = args[++i];
    } else if (args[i].starts_with("--")) {
      return BadUsage("opción desconocida " + args[i]);
    } else {
      positional.push_back(args[i]);
    }
  }
  if (positional.size() != 2) return BadUsage("se esperan un modo y un archivo");
  command.mode = tvb::AsciiLower(positional[0]);
  if (command.mode != "exportar" && command.mode != "importar") {
    return BadUsage("modo desconocido " + positional[0]);
  }
  command.document = positional[1];
  return Run(command);
}
