// Program entry of TransVestranoBrivo: the window toolkit, the main window MForm
// and the message loop, which ends when the window closes.

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <string>
#include <vector>

#include "app/MainForm.h"
#include "app/qt_dialogs.h"
#include "app/qt_path.h"
#include "app/x11_embedder.h"
#include "tables/table_directory.h"

namespace {

// The window's fonts come from Windows; these stand in for them where they are
// missing (Liberation Sans has Arial's metrics).
void SubstituteFonts() {
  QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans")});
  QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                             {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
}

// The handle of the launched mode is an X window id: under Wayland the window
// goes through XWayland, where it can be embedded.
void PreferX11ForEmbedding(const std::vector<std::string>& arguments) {
#ifndef _WIN32
  if (arguments.size() == 2 && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
      !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "xcb");
  }
#endif
}

}  // namespace

int main(int argc, char* argv[]) {
  // Taken before Qt removes the options it knows from the command line.
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  PreferX11ForEmbedding(arguments);

  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("TransVestranoBrivo"));
  QTranslator spanish;  // the toolkit's own texts (file dialog) in Spanish
  if (spanish.load(QLocale(QLocale::Spanish), QStringLiteral("qtbase"), QStringLiteral("_"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    QApplication::installTranslator(&spanish);
  }
  SubstituteFonts();

  const tvb::Path tables = tvb::DefaultTableDirectory();
  tvb::app::QtDialogs dialogs(tvb::DialogStartDirectory(tables));
  tvb::app::X11Embedder embedder;
  tvb::app::TMForm MForm({arguments, tables, tvb::app::ToPath(QApplication::applicationDirPath())},
                         dialogs, embedder);
  // Embedded in a foreign window, the last window's closing does not end the loop.
  QObject::connect(&MForm, &tvb::app::TMForm::Closed, &application,
                   [] { QCoreApplication::exit(0); });
  MForm.show();
  return QApplication::exec();
}
