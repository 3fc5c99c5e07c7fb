#include "app/gradient_panel.h"

#include <QLinearGradient>
#include <QPainter>

namespace tvb::app {

GradientPanel::GradientPanel(QWidget* parent, const Gradient& gradient)
    : QWidget(parent), gradient_(gradient) {}

void GradientPanel::paintEvent(QPaintEvent*) {
  QLinearGradient fill(0, 0, 0, height());
  fill.setColorAt(0.0, gradient_.top);
  fill.setColorAt(0.5, gradient_.middle);
  fill.setColorAt(1.0, gradient_.bottom);
  QPainter painter(this);
  painter.fillRect(rect(), fill);
}

}  // namespace tvb::app
