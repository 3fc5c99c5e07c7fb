#include "app/MainForm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>

#include "app/ini_file.h"
#include "export/export_run.h"
#include "import/import_run.h"
#include "text/ansi.h"
#include "text/str_to_int.h"

namespace tvb::app {
namespace {

const Gradient kSidePanel{QColor(255, 238, 221), QColor(255, 255, 255), QColor(249, 211, 125)};
const Gradient kBottomStrip{QColor(204, 216, 230), QColor(207, 242, 254), QColor(194, 205, 254)};

// The glyph of the OK-kind buttons: a green check mark.
QIcon CheckMarkGlyph() {
  QPixmap glyph(16, 16);
  glyph.fill(Qt::transparent);
  QPainter painter(&glyph);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0, 128, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.drawPolyline(QPolygonF({{2.5, 8.5}, {6.0, 12.5}, {13.5, 3.5}}));
  return QIcon(glyph);
}

// "MS Sans Serif" and "Arial" at a size in pixels; main() names their stand-ins.
QFont PixelFont(const QString& family, int pixels, bool bold) {
  QFont font(family);
  font.setPixelSize(pixels);
  font.setBold(bold);
  return font;
}

void Place(QWidget& widget, const char* name, QRect geometry) {
  widget.setObjectName(QString::fromLatin1(name));
  widget.setGeometry(geometry);
}

void SetUpCaption(QLabel& label, const char* name, QRect geometry) {
  Place(label, name, geometry);
  label.setFont(PixelFont(QStringLiteral("Arial"), 16, true));
  label.setWordWrap(true);
  label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void SetUpButton(QPushButton& button, const char* name, QRect geometry, const QIcon& glyph) {
  Place(button, name, geometry);
  button.setIcon(glyph);
}

// The command line as the toolkit's 8-bit text: arguments arrive in UTF-8 here.
std::string AnsiArgument(const std::string& argument) {
#ifdef _WIN32
  return argument;
#else
  return Utf8ToAnsi(argument);
#endif
}

// The hourglass for as long as it lives.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

QString Message(const std::exception& error) { return QString::fromUtf8(error.what()); }

}  // namespace

TMForm::TMForm(Launch launch, UserDialogs& dialogs, Embedder& embedder)
    : launch_(std::move(launch)),
      dialogs_(dialogs),
      embedder_(embedder),
      Draw3D1(this, kBottomStrip),
      Draw3D2(this, kSidePanel),
      BExportar(QStringLiteral("Aceptar"), &Draw3D2),
      BClose(QStringLiteral("&Salir"), &Draw3D1),
      Label3(QStringLiteral("Transformar datos desde Brivo hacia Vestrano "), &Draw3D2),
      Draw3D3(this, kSidePanel),
      Label4(QStringLiteral("Transformar datos desde Vestrano hacia Brivo"), &Draw3D3),
      BImportar(QStringLiteral("Aceptar"), &Draw3D3),
      Label1(QStringLiteral("TransVestranoBrivo V-1.4"), &Draw3D1) {
  SetUpWindow();
  connect(&BExportar, &QPushButton::clicked, this, &TMForm::BExportarClick);
  connect(&BImportar, &QPushButton::clicked, this, &TMForm::BImportarClick);
  connect(&BClose, &QPushButton::clicked, this, &QWidget::close);
  FormCreate();
  if (!Launched()) {
    if (const QScreen* screen = this->screen()) move(screen->geometry().center() - rect().center());
  }
}

void TMForm::SetUpWindow() {
  setWindowTitle(QStringLiteral("Exportar e importar datos entre Vestrano y Brivo "));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFixedSize(632, 266);
  setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11, false));
  QPalette colours = palette();
  colours.setColor(QPalette::Window, colours.color(QPalette::Button));
  setPalette(colours);

  Place(Draw3D2, "Draw3D2", {1, 0, 315, 169});
  Place(Draw3D3, "Draw3D3", {316, 0, 317, 169});
  Place(Draw3D1, "Draw3D1", {0, 168, 633, 97});
  SetUpCaption(Label3, "Label3", {24, 24, 265, 57});
  SetUpCaption(Label4, "Label4", {8, 24, 305, 57});
  SetUpButton(BExportar, "BExportar", {96, 120, 89, 25}, CheckMarkGlyph());
  SetUpButton(BImportar, "BImportar", {96, 120, 89, 25}, CheckMarkGlyph());
  SetUpButton(BClose, "BClose", {256, 32, 89, 25},
              style()->standardIcon(QStyle::SP_DialogCloseButton));

  Place(Label1, "Label1", {8, 72, 155, 13});
  Label1.setFont(PixelFont(QStringLiteral("MS Sans Serif"), 11, true));
  QPalette red = Label1.palette();
  red.setColor(QPalette::WindowText, QColor(255, 0, 0));
  Label1.setPalette(red);

  // The panels in the tab order Draw3D1, Draw3D2, Draw3D3, one button each.
  setTabOrder(&BClose, &BExportar);
  setTabOrder(&BExportar, &BImportar);
}

void TMForm::FormCreate() {
  vars_.ResultadoProceso = kResultNone;
  if (launch_.arguments.size() != 2) return;
  try {
    const std::int32_t handle = StrToInt("$" + AnsiArgument(launch_.arguments[1]));
    embedder_.Embed(*this, static_cast<std::uint32_t>(handle));
  } catch (const Error& error) {
    // Not embedded: the window stays an ordinary one, but the mode still counts.
    dialogs_.ShowError(*this, Message(error));
    return;
  }
  vars_.ModoLlamada = kLaunchedMode;
}

void TMForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shown_) return;
  shown_ = true;
  // Started from the event loop, so that the run's dialogs and the closing of
  // the window happen inside it.
  QMetaObject::invokeMethod(this, &TMForm::FormShow, Qt::QueuedConnection);
}

void TMForm::FormShow() {
  if (launch_.arguments.size() != 2) return;
  if (AsciiLower(launch_.arguments[0]) == "importar") BImportarClick();
  if (AsciiLower(launch_.arguments[0]) == "exportar") BExportarClick();
}

void TMForm::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (closed_) return;
  closed_ = true;
  FormClose();
  Q_EMIT Closed();
}

void TMForm::FormClose() {
  if (!Launched()) return;
  FileSystem& fs = RealFileSystem();
  try {
    WriteIniValue(fs, ProfileFileIn(fs, launch_.program_dir, "Vestrano.ini"), "Transformadores",
                  "Transformado", std::to_string(vars_.ResultadoProceso));
  } catch (const std::exception& error) {
    // Shown, and the window closes all the same: the timetabling program waits.
    dialogs_.ShowError(*this, Message(error));
  }
}

void TMForm::BExportarClick() {
  Run([](FileSystem& fs, const Path& document, const Path& tables) {
    return ExportarDocumento(fs, document, tables).document;
  });
}

void TMForm::BImportarClick() {
  Run([](FileSystem& fs, const Path& document, const Path& tables) {
    return ImportarDocumento(fs, document, tables).document;
  });
}

void TMForm::Run(RunFunction run) {
  if (std::optional<Path> chosen = dialogs_.PickFile(*this)) vars_.ArchivoXML = std::move(*chosen);
  if (closed_) return;  // the parent window went away while the dialog was open
  try {
    const WaitCursor hourglass;
    vars_.DocXML = run(RealFileSystem(), vars_.ArchivoXML, launch_.tables);
  } catch (const MissingFileError& missing) {
    dialogs_.ShowMessage(*this, Message(missing));
    if (Launched()) {
      vars_.ResultadoProceso = kResultFileMissing;
      close();
    }
    return;
  } catch (const std::exception& error) {
    vars_.DocXML.reset();
    dialogs_.ShowError(*this, Message(error));
    return;
  }
  vars_.ResultadoProceso = kResultDone;
  dialogs_.ShowMessage(*this, QStringLiteral("Proceso finalizado"));
  if (Launched()) close();
}

}  // namespace tvb::app
