// What a run asks of the person at the window: a document to work on, and the
// reading of a message or an error. The window's runs reach people only through
// this, so that tests can answer in their place.
#pragma once

#include <QString>
#include <QWidget>
#include <optional>

#include "files/file_system.h"

namespace tvb::app {

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;

  // The file-open dialog OpenDialogXML: the chosen file's full path, or nothing
  // when the person cancels. A typed name of a file that does not exist is
  // accepted. `owner` is the window the dialog belongs to.
  virtual std::optional<Path> PickFile(QWidget& owner) = 0;

  // A plain modal message box without icon and with the one button "Aceptar".
  virtual void ShowMessage(QWidget& owner, const QString& text) = 0;

  // The standard error box: an error that ended a run, with its own message.
  virtual void ShowError(QWidget& owner, const QString& text) = 0;
};

}  // namespace tvb::app
