// The dialogs of the window as a person sees them: the file-open dialog
// OpenDialogXML and the toolkit's message boxes, all modal to the window.
#pragma once

#include "app/user_dialogs.h"

namespace tvb::app {

class QtDialogs final : public UserDialogs {
 public:
  // `start_directory` is where the file dialog opens: <table directory>/brivo.
  explicit QtDialogs(Path start_directory);

  // Title "Archivo XML", the one filter "*.xml", default extension "xml" (added
  // to a typed name that has none). Any name is accepted, that of a missing file
  // too. The name chosen last is offered again in the next run.
  std::optional<Path> PickFile(QWidget& owner) override;
  void ShowMessage(QWidget& owner, const QString& text) override;
  void ShowError(QWidget& owner, const QString& text) override;

 private:
  Path start_directory_;
  QString chosen_;
};

}  // namespace tvb::app
