// Embedding on X11, where the timetabling program (under Wine) names its window
// by its X window id.
//
// Qt knows nothing of a foreign window: its existence and size are asked of the
// X server, and its destruction is watched in the X event stream, since the
// embedded window dies with it while the program would live on.
#pragma once

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <QWindow>
#include <memory>

#include "app/embedder.h"

namespace tvb::app {

class X11Embedder final : public Embedder, private QAbstractNativeEventFilter {
 public:
  X11Embedder() = default;
  X11Embedder(const X11Embedder&) = delete;
  X11Embedder& operator=(const X11Embedder&) = delete;
  ~X11Embedder() override;

  void Embed(QWidget& window, std::uint32_t parent) override;

 private:
  bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

  std::unique_ptr<QWindow> host_;  // the foreign parent window
  std::uint32_t parent_ = 0;
  QPointer<QWidget> window_;
};

}  // namespace tvb::app
