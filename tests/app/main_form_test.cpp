// The window's launch protocol and runs, with the person at the window and the
// foreign parent window played by the test. The runs are the core's own, on
// scratch directories.
#include <QtTest>
#include <deque>
#include <functional>
#include <memory>

#include "app/MainForm.h"
#include "tests/support/temp_dir.h"

namespace tvb::app {
namespace {

class FakeDialogs final : public UserDialogs {
 public:
  std::deque<std::optional<Path>> answers;  // one per file dialog; cancel when none is left
  std::function<void()> while_picking;      // what happens while the file dialog is open
  int dialogs_opened = 0;
  QStringList messages;
  QStringList errors;
  bool box_under_hourglass = false;

  std::optional<Path> PickFile(QWidget&) override {
    ++dialogs_opened;
    if (while_picking) while_picking();
    if (answers.empty()) return std::nullopt;
    std::optional<Path> answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void ShowMessage(QWidget&, const QString& text) override {
    NoteCursor();
    messages << text;
  }
  void ShowError(QWidget&, const QString& text) override {
    NoteCursor();
    errors << text;
  }

 private:
  void NoteCursor() { box_under_hourglass |= QApplication::overrideCursor() != nullptr; }
};

class FakeEmbedder final : public Embedder {
 public:
  bool refuse = false;
  QList<quint32> parents;
  QWidget* window = nullptr;

  void Embed(QWidget& embedded, std::uint32_t parent) override {
    if (refuse) throw Error("No existe la ventana " + std::to_string(parent));
    parents << parent;
    window = &embedded;
  }
  void DestroyParent() { window->close(); }
};

// A program directory, an empty table directory, three documents and the
// stand-ins for the person and the parent window.
class Scene {
 public:
  Scene() {
    std::filesystem::create_directories(program_dir);
    std::filesystem::create_directories(tables);
    testing::WriteFile(
        dir / "horario.xml",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO><SALIDAS/></SERVICIO>\n");
    testing::WriteFile(dir / "roto.xml", "<SERVICIO><SALIDAS>");
  }

  // "" is a cancelled dialog; other names are files of the scene.
  void Answer(const QStringList& names) {
    for (const QString& name : names) {
      if (name.isEmpty()) {
        dialogs.answers.push_back(std::nullopt);
      } else {
        dialogs.answers.push_back(dir / name.toStdString());
      }
    }
  }

  // Creates the window with `arguments`, shows it and lets its first showing run.
  std::unique_ptr<TMForm> Start(const QStringList& arguments) {
    Launch launch{{}, tables, program_dir};
    for (const QString& argument : arguments) launch.arguments.push_back(argument.toStdString());
    auto form = std::make_unique<TMForm>(std::move(launch), dialogs, embedder);
    QObject::connect(form.get(), &TMForm::Closed, [this] { ++closings; });
    form->show();
    QCoreApplication::sendPostedEvents(form.get());
    return form;
  }

  std::optional<std::string> Ini() const {
    const Path ini = program_dir / "Vestrano.ini";
    if (!std::filesystem::exists(ini)) return std::nullopt;
    return testing::ReadFile(ini);
  }

  testing::TempDir dir;
  Path program_dir = dir / "bin";
  Path tables = dir / "VTEMP";
  FakeDialogs dialogs;
  FakeEmbedder embedder;
  int closings = 0;
};

void Click(TMForm& form, const char* button) {
  QPushButton* found = form.findChild<QPushButton*>(QString::fromLatin1(button));
  QVERIFY(found != nullptr);
  QTest::mouseClick(found, Qt::LeftButton);
}

const QByteArray kNoIni = "(none)";

QByteArray IniText(const std::optional<std::string>& ini) {
  return ini ? QByteArray::fromStdString(*ini) : kNoIni;
}

QByteArray Code(int code) {
  return "[Transformadores]\r\nTransformado=" + QByteArray::number(code) + "\r\n";
}

class MainFormTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void launch_data();
  void launch();
  void resultCode_data();
  void resultCode();
  void standaloneRunsKeepTheChosenFile();
  void parentWindowDestroyed_data();
  void parentWindowDestroyed();
  void unwritableIniIsShownAndTheWindowClosesAllTheSame();
  void existingIniIsEditedInPlace();
};

void MainFormTest::launch_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<bool>("refuse");  // the id names no window
  QTest::addColumn<QString>("run");  // the run that starts by itself, if any
  QTest::addColumn<QList<quint32>>("parents");
  QTest::addColumn<QString>("error");

  const QList<quint32> none;
  const QString bad_handle = "'$0x1F' no es un valor entero válido";
  QTest::newRow("no arguments") << QStringList{} << false << "" << none << "";
  QTest::newRow("one argument") << QStringList{"exportar"} << false << "" << none << "";
  QTest::newRow("three arguments")
      << QStringList{"exportar", "1F", "1F"} << false << "" << none << "";
  QTest::newRow("exportar") << QStringList{"exportar", "1F04A2"} << false << "exportar"
                            << QList<quint32>{0x1F04A2} << "";
  QTest::newRow("EXPORTAR") << QStringList{"EXPORTAR", "1f04a2"} << false << "exportar"
                            << QList<quint32>{0x1F04A2} << "";
  QTest::newRow("Exportar") << QStringList{"Exportar", "1F"} << false << "exportar"
                            << QList<quint32>{0x1F} << "";
  QTest::newRow("ImPortar") << QStringList{"ImPortar", "1F"} << false << "importar"
                            << QList<quint32>{0x1F} << "";
  QTest::newRow("blank before the mode")
      << QStringList{" exportar", "1F"} << false << "" << QList<quint32>{0x1F} << "";
  QTest::newRow("blank after the mode")
      << QStringList{"importar ", "1F"} << false << "" << QList<quint32>{0x1F} << "";
  QTest::newRow("abbreviated mode")
      << QStringList{"export", "1F"} << false << "" << QList<quint32>{0x1F} << "";
  QTest::newRow("id of 32 bits") << QStringList{"exportar", "FFFFFFFF"} << false << "exportar"
                                 << QList<quint32>{0xFFFFFFFF} << "";
  QTest::newRow("id with 0x prefix")
      << QStringList{"exportar", "0x1F"} << false << "exportar" << none << bad_handle;
  QTest::newRow("empty id") << QStringList{"importar", ""} << false << "importar" << none
                            << "'$' no es un valor entero válido";
  QTest::newRow("id naming no window")
      << QStringList{"exportar", "1F"} << true << "exportar" << none << "No existe la ventana 31";
}

// Launched mode needs two arguments and an id that embeds; the mode word alone
// decides the run, even when embedding failed.
void MainFormTest::launch() {
  QFETCH(QStringList, arguments);
  QFETCH(bool, refuse);
  QFETCH(QString, run);
  QFETCH(QList<quint32>, parents);
  QFETCH(QString, error);

  Scene scene;
  scene.embedder.refuse = refuse;
  scene.Answer({"horario.xml"});
  const auto form = scene.Start(arguments);

  QCOMPARE(scene.embedder.parents, parents);
  QCOMPARE(form->variables().ModoLlamada, parents.isEmpty() ? 0 : kLaunchedMode);
  if (!error.isEmpty()) QCOMPARE(scene.dialogs.errors.value(0), error);
  const qsizetype creation_errors = error.isEmpty() ? 0 : 1;
  QCOMPARE(scene.dialogs.dialogs_opened, run.isEmpty() ? 0 : 1);
  if (run == "exportar") {
    // The export of a document without lists completes.
    QCOMPARE(scene.dialogs.messages, QStringList{"Proceso finalizado"});
    QCOMPARE(scene.dialogs.errors.size(), creation_errors);
    QCOMPARE(form->variables().ResultadoProceso, kResultDone);
  } else if (run == "importar") {
    // The import fails on the empty table directory.
    QCOMPARE(scene.dialogs.messages, QStringList{});
    QCOMPARE(scene.dialogs.errors.size(), creation_errors + 1);
    QCOMPARE(form->variables().ResultadoProceso, kResultNone);
  } else {
    QCOMPARE(scene.dialogs.messages, QStringList{});
    QCOMPARE(scene.dialogs.errors.size(), creation_errors);
  }
}

void MainFormTest::resultCode_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<QStringList>("answers");
  QTest::addColumn<QStringList>("messages");
  QTest::addColumn<int>("errors");
  QTest::addColumn<bool>("closesByItself");
  QTest::addColumn<QByteArray>("ini");

  const QStringList missing{"No existe archivo"};
  const QStringList done{"Proceso finalizado"};
  QTest::newRow("launched, first dialog cancelled")
      << QStringList{"exportar", "1F"} << QStringList{""} << missing << 0 << true << Code(-1);
  QTest::newRow("launched, typed name of a missing file")
      << QStringList{"importar", "1F"} << QStringList{"nada.xml"} << missing << 0 << true
      << Code(-1);
  QTest::newRow("launched, run completed")
      << QStringList{"exportar", "1F"} << QStringList{"horario.xml"} << done << 0 << true
      << Code(1);
  QTest::newRow("launched, run ended by an error")
      << QStringList{"exportar", "1F"} << QStringList{"roto.xml"} << QStringList{} << 1 << false
      << Code(0);
  QTest::newRow("launched, mode neither word")
      << QStringList{"nada", "1F"} << QStringList{} << QStringList{} << 0 << false << Code(0);
  QTest::newRow("bad id, dialog cancelled")
      << QStringList{"exportar", "0x1F"} << QStringList{""} << missing << 1 << false << kNoIni;
  QTest::newRow("standalone") << QStringList{} << QStringList{} << QStringList{} << 0 << false
                              << kNoIni;
}

// What the window tells, whether it closes, and the code it leaves when closed
// (by the run, or else by "Salir").
void MainFormTest::resultCode() {
  QFETCH(QStringList, arguments);
  QFETCH(QStringList, answers);
  QFETCH(QStringList, messages);
  QFETCH(int, errors);
  QFETCH(bool, closesByItself);
  QFETCH(QByteArray, ini);

  Scene scene;
  scene.Answer(answers);
  const auto form = scene.Start(arguments);

  QCOMPARE(scene.dialogs.messages, messages);
  QCOMPARE(scene.dialogs.errors.size(), errors);
  QCOMPARE(form->isVisible(), !closesByItself);
  QCOMPARE(scene.closings, closesByItself ? 1 : 0);
  QVERIFY(QApplication::overrideCursor() == nullptr);
  QVERIFY(!scene.dialogs.box_under_hourglass);
  if (!closesByItself) {
    QCOMPARE(scene.Ini(), std::nullopt);
    Click(*form, "BClose");
    QVERIFY(!form->isVisible());
    QCOMPARE(scene.closings, 1);
  }
  QCOMPARE(IniText(scene.Ini()), ini);
}

// A cancelled dialog runs the file of the last run of either direction again.
void MainFormTest::standaloneRunsKeepTheChosenFile() {
  Scene scene;
  scene.Answer({"roto.xml", "", ""});
  const auto form = scene.Start({});
  QCOMPARE(scene.dialogs.dialogs_opened, 0);

  Click(*form, "BExportar");
  Click(*form, "BExportar");
  Click(*form, "BImportar");
  QCOMPARE(scene.dialogs.dialogs_opened, 3);
  QCOMPARE(scene.dialogs.errors.size(), 3);
  QCOMPARE(scene.dialogs.messages, QStringList{});
  QCOMPARE(form->variables().ArchivoXML, scene.dir / "roto.xml");
  QCOMPARE(form->variables().ResultadoProceso, kResultNone);

  scene.Answer({"horario.xml"});
  Click(*form, "BExportar");
  QCOMPARE(scene.dialogs.messages, QStringList{"Proceso finalizado"});
  QCOMPARE(form->variables().ResultadoProceso, kResultDone);
  QVERIFY(form->variables().DocXML != nullptr);
  QVERIFY(form->isVisible());

  form->close();
  QCOMPARE(scene.closings, 1);
  QCOMPARE(scene.Ini(), std::nullopt);
}

void MainFormTest::parentWindowDestroyed_data() {
  QTest::addColumn<bool>("duringFileDialog");
  QTest::newRow("while the window waits") << false;
  QTest::newRow("while the file dialog is open") << true;
}

// The window closes as if closed by hand, and leaves the code it had then.
void MainFormTest::parentWindowDestroyed() {
  QFETCH(bool, duringFileDialog);
  Scene scene;
  if (duringFileDialog) scene.dialogs.while_picking = [&] { scene.embedder.DestroyParent(); };
  const auto form = scene.Start({duringFileDialog ? "exportar" : "nada", "1F"});
  if (!duringFileDialog) scene.embedder.DestroyParent();

  QVERIFY(!form->isVisible());
  QCOMPARE(scene.closings, 1);
  QCOMPARE(scene.dialogs.messages, QStringList{});
  QCOMPARE(IniText(scene.Ini()), Code(0));
}

void MainFormTest::unwritableIniIsShownAndTheWindowClosesAllTheSame() {
  Scene scene;
  scene.program_dir = scene.dir / "gone";
  const auto form = scene.Start({"exportar", "1F"});

  QCOMPARE(scene.dialogs.messages, QStringList{"No existe archivo"});
  QCOMPARE(scene.dialogs.errors.size(), 1);
  QVERIFY(scene.dialogs.errors[0].contains("Vestrano.ini"));
  QVERIFY(!form->isVisible());
  QCOMPARE(scene.closings, 1);
}

// The file of the timetabling program, found as Windows finds it, keeps every
// byte but the code.
void MainFormTest::existingIniIsEditedInPlace() {
  Scene scene;
  const Path ini = scene.program_dir / "VESTRANO.INI";
  testing::WriteFile(ini,
                     "; Vestrano\r\n[Rutas]\r\nTablas=C:\\VTEMP\r\n\r\n[Transformadores]\r\n"
                     "Transformado=1\r\nVersion=3\r\n");
  const auto form = scene.Start({"exportar", "1F"});

  QVERIFY(!form->isVisible());
  QCOMPARE(testing::ReadFile(ini),
           std::string("; Vestrano\r\n[Rutas]\r\nTablas=C:\\VTEMP\r\n\r\n[Transformadores]\r\n"
                       "Transformado=-1\r\nVersion=3\r\n"));
  QCOMPARE(std::distance(std::filesystem::directory_iterator(scene.program_dir),
                         std::filesystem::directory_iterator()),
           1);
}

}  // namespace
}  // namespace tvb::app

QTEST_MAIN(tvb::app::MainFormTest)
#include "main_form_test.moc"
