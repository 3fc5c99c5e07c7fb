#include "app/qt_dialogs.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWindow>

#include "app/qt_path.h"

namespace tvb::app {
namespace {

// Makes `dialog` modal and keeps it above the top-level window that holds
// `owner`. The dialogs take no parent widget: in launched mode that top-level
// window is the timetabling program's, which Qt cannot give a dialog as parent
// through the embedded window, and the dialog would drop behind it.
void KeepAbove(QDialog& dialog, QWidget& owner) {
  dialog.setWindowModality(Qt::ApplicationModal);
  QWindow* top = owner.window()->windowHandle();
  while (top != nullptr && top->parent() != nullptr) top = top->parent();
  if (top == nullptr) return;  // the owner is not on screen yet
  dialog.winId();
  dialog.windowHandle()->setTransientParent(top);
}

// `dir`, or its nearest ancestor that exists: Qt would offer the missing part as
// a file name.
QString ExistingDirectory(Path dir) {
  std::error_code error;
  while (!dir.empty() && !std::filesystem::is_directory(dir, error)) {
    Path parent = dir.parent_path();
    if (parent == dir) break;
    dir = std::move(parent);
  }
  return ToQString(dir);
}

// A message box with the one button "Aceptar", titled with the program's name.
void ShowBox(QWidget& owner, QMessageBox::Icon icon, const QString& text) {
  QMessageBox box(icon, QGuiApplication::applicationDisplayName(), text, QMessageBox::Ok);
  KeepAbove(box, owner);
  box.button(QMessageBox::Ok)->setText(QStringLiteral("Aceptar"));
  box.exec();
}

}  // namespace

QtDialogs::QtDialogs(Path start_directory) : start_directory_(std::move(start_directory)) {}

std::optional<Path> QtDialogs::PickFile(QWidget& owner) {
  QFileDialog OpenDialogXML(nullptr, QStringLiteral("Archivo XML"),
                            ExistingDirectory(start_directory_), QStringLiteral("*.xml"));
  OpenDialogXML.setObjectName(QStringLiteral("OpenDialogXML"));
  OpenDialogXML.setAcceptMode(QFileDialog::AcceptOpen);
  OpenDialogXML.setFileMode(QFileDialog::AnyFile);
  OpenDialogXML.setDefaultSuffix(QStringLiteral("xml"));
  // Qt's own dialog behaves alike on every platform: a missing file is accepted
  // and the default extension added.
  OpenDialogXML.setOption(QFileDialog::DontUseNativeDialog);
  if (!chosen_.isEmpty()) OpenDialogXML.selectFile(chosen_);
  KeepAbove(OpenDialogXML, owner);

  if (OpenDialogXML.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList files = OpenDialogXML.selectedFiles();
  if (files.isEmpty()) return std::nullopt;
  chosen_ = files.front();
  return ToPath(chosen_);
}

void QtDialogs::ShowMessage(QWidget& owner, const QString& text) {
  ShowBox(owner, QMessageBox::NoIcon, text);
}

void QtDialogs::ShowError(QWidget& owner, const QString& text) {
  ShowBox(owner, QMessageBox::Critical, text);
}

}  // namespace tvb::app
