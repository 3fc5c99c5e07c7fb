// The dialogs as a person meets them, answered with the mouse and keyboard.
#include "app/qt_dialogs.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "tests/support/temp_dir.h"

namespace tvb::app {
namespace {

// Answers the next modal dialog, of kind Dialog, once it is up. A dialog of
// another kind is rejected, so that a failing test ends.
template <typename Dialog>
void WhenShown(std::function<void(Dialog&)> answer) {
  QTimer::singleShot(0, [answer] {
    QWidget* modal = QApplication::activeModalWidget();
    if (auto* dialog = qobject_cast<Dialog*>(modal)) return answer(*dialog);
    QTest::qFail("the expected dialog is not up", __FILE__, __LINE__);
    if (auto* other = qobject_cast<QDialog*>(modal)) other->reject();
  });
}

QLineEdit& FileNameField(QFileDialog& dialog) {
  return *dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
}

class QtDialogsTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void typedNameOfMissingFileIsTakenAndOfferedAgain_data();
  void typedNameOfMissingFileIsTakenAndOfferedAgain();
  void boxesHaveTheOneButtonAceptar_data();
  void boxesHaveTheOneButtonAceptar();
};

void QtDialogsTest::typedNameOfMissingFileIsTakenAndOfferedAgain_data() {
  QTest::addColumn<bool>("startExists");
  QTest::newRow("start directory exists") << true;
  // Opens in the nearest folder that exists, with no name made up from the rest.
  QTest::newRow("start directory missing") << false;
}

void QtDialogsTest::typedNameOfMissingFileIsTakenAndOfferedAgain() {
  QFETCH(bool, startExists);
  testing::TempDir scratch;
  const Path start = scratch / "brivo";
  if (startExists) std::filesystem::create_directory(start);
  const Path opened = startExists ? start : scratch.path();
  QWidget owner;
  QtDialogs dialogs(start);

  QString title;
  QString first_name;
  WhenShown<QFileDialog>([&](QFileDialog& dialog) {
    title = dialog.windowTitle();
    first_name = FileNameField(dialog).text();
    QTest::keyClicks(&FileNameField(dialog), QStringLiteral("nuevo"));
    QTest::keyClick(&FileNameField(dialog), Qt::Key_Return);
  });
  QCOMPARE(dialogs.PickFile(owner), std::optional<Path>(opened / "nuevo.xml"));
  QCOMPARE(title, QStringLiteral("Archivo XML"));
  QCOMPARE(first_name, QString());

  QString offered;
  WhenShown<QFileDialog>([&](QFileDialog& dialog) {
    offered = FileNameField(dialog).text();
    auto* buttons = dialog.findChild<QDialogButtonBox*>(QStringLiteral("buttonBox"));
    QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
  });
  QCOMPARE(dialogs.PickFile(owner), std::nullopt);
  QCOMPARE(offered, QStringLiteral("nuevo.xml"));
}

void QtDialogsTest::boxesHaveTheOneButtonAceptar_data() {
  QTest::addColumn<bool>("error");
  QTest::addColumn<int>("icon");
  QTest::newRow("message") << false << int(QMessageBox::NoIcon);
  QTest::newRow("error") << true << int(QMessageBox::Critical);
}

void QtDialogsTest::boxesHaveTheOneButtonAceptar() {
  QFETCH(bool, error);
  QFETCH(int, icon);
  QWidget owner;
  QtDialogs dialogs(Path("."));

  QString text;
  QStringList buttons;
  int shown_icon = -1;
  WhenShown<QMessageBox>([&](QMessageBox& box) {
    text = box.text();
    shown_icon = box.icon();
    for (QAbstractButton* button : box.buttons()) buttons << button->text();
    QTest::mouseClick(box.buttons().front(), Qt::LeftButton);
  });
  if (error) {
    dialogs.ShowError(owner, QStringLiteral("No se pudo abrir la tabla SOLUC"));
  } else {
    dialogs.ShowMessage(owner, QStringLiteral("No se pudo abrir la tabla SOLUC"));
  }
  QCOMPARE(text, QStringLiteral("No se pudo abrir la tabla SOLUC"));
  QCOMPARE(shown_icon, icon);
  QCOMPARE(buttons, QStringList{QStringLiteral("Aceptar")});
}

}  // namespace
}  // namespace tvb::app

QTEST_MAIN(tvb::app::QtDialogsTest)
#include "qt_dialogs_test.moc"
