// The tool's one window, TMForm: the export (Brivo document to timetable tables)
// on the left, the import (timetable tables to result document) on the right, the
// version label and the close button below.
//
// Launch protocol. Started with exactly two arguments, the mode ("exportar" or
// "importar", in any letter case, nothing trimmed) and the X window id of one of
// the timetabling program's windows in hexadecimal digits, the window makes
// itself a borderless child of that window (launched mode), starts the named run
// as it is first shown, closes when the run completes or finds no file, and on
// closing leaves the result code under "Transformado" in the section
// "Transformadores" of "Vestrano.ini" beside the program file. Started in any
// other way it is an ordinary window whose runs start from its buttons, and
// closing writes nothing. An id that is not a number or names no window is shown
// in the error box; the window is then an ordinary one, but the named run still
// starts once.
//
// A run: the file dialog; "No existe archivo" when no file is there (in launched
// mode the result code -1 and the window closes); the hourglass while the core
// works; then "Proceso finalizado" and the code 1 (in launched mode the window
// closes), or the error in the error box, the window open and the code as it was.
//
// The module-wide variables ArchivoXML, DocXML, ModoLlamada and ResultadoProceso
// are members of the window (MainFormVariables), not file-scope variables: the
// program has one window, and tests create many. The window holds no table
// components and no code lists; each run opens and closes its own tables, and the
// code lists live inside one export run.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/embedder.h"
#include "app/gradient_panel.h"
#include "app/user_dialogs.h"
#include "xml/document.h"

namespace tvb::app {

// ModoLlamada in launched mode: the number of arguments.
inline constexpr std::int32_t kLaunchedMode = 2;

// Values of ResultadoProceso.
inline constexpr std::int32_t kResultNone = 0;  // nothing completed yet
inline constexpr std::int32_t kResultDone = 1;
inline constexpr std::int32_t kResultFileMissing = -1;  // launched mode only

// What the window is started with.
struct Launch {
  std::vector<std::string> arguments;  // the command line without the program itself
  Path tables;                         // the table directory
  Path program_dir;                    // the directory of the program file
};

struct MainFormVariables {
  Path ArchivoXML;  // the document chosen last, in a run of either direction
  std::shared_ptr<const xml::Document> DocXML;  // the document of the last run
  std::int32_t ModoLlamada = 0;                 // kLaunchedMode, or 0 standalone
  std::int32_t ResultadoProceso = kResultNone;
};

class TMForm final : public QWidget {
  Q_OBJECT

 public:
  // Runs FormCreate: settles the mode, and embeds the window in launched mode.
  // `dialogs` and `embedder` must outlive the window.
  TMForm(Launch launch, UserDialogs& dialogs, Embedder& embedder);

  const MainFormVariables& variables() const { return vars_; }

  // The export and import runs, as a click on their buttons starts them.
  void BExportarClick();
  void BImportarClick();

 Q_SIGNALS:
  // The window has closed and FormClose has run: the program ends.
  void Closed();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  using RunFunction = std::shared_ptr<const xml::Document> (*)(FileSystem&, const Path&,
                                                               const Path&);

  void SetUpWindow();
  void FormCreate();
  void FormShow();
  void FormClose();
  void Run(RunFunction run);
  bool Launched() const { return vars_.ModoLlamada == kLaunchedMode; }

  Launch launch_;
  UserDialogs& dialogs_;
  Embedder& embedder_;
  MainFormVariables vars_;
  bool shown_ = false;
  bool closed_ = false;

  // The components, each on its parent: Draw3D1 the bottom strip, Draw3D2 the
  // export side, Draw3D3 the import side.
  GradientPanel Draw3D1;
  GradientPanel Draw3D2;
  QPushButton BExportar;
  QPushButton BClose;
  QLabel Label3;
  GradientPanel Draw3D3;
  QLabel Label4;
  QPushButton BImportar;
  QLabel Label1;
};

}  // namespace tvb::app
