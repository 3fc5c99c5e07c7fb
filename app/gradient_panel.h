// The window's coloured panels (Draw3D1 to Draw3D3): a vertical gradient through
// three colours, from the top edge through the middle line to the bottom edge.
// The gradient covers the whole panel, so a panel colour beneath it shows nowhere.
#pragma once

#include <QColor>
#include <QWidget>

namespace tvb::app {

struct Gradient {
  QColor top;
  QColor middle;
  QColor bottom;
};

class GradientPanel final : public QWidget {
 public:
  GradientPanel(QWidget* parent, const Gradient& gradient);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  Gradient gradient_;
};

}  // namespace tvb::app
