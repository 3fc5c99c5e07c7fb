#include "app/x11_embedder.h"

#include <xcb/xcb.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSize>
#include <QWidget>
#include <cstdlib>
#include <string>

#include "text/error.h"

namespace tvb::app {
namespace {

struct FreeDeleter {
  void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

std::string Hex(std::uint32_t id) { return QString::number(id, 16).toUpper().toStdString(); }

Error NoSuchWindow(std::uint32_t parent) {
  return Error("No existe la ventana " + Hex(parent) +
               " en la que debía abrirse; la herramienta sigue en una ventana propia");
}

// Asks the X server to report the destruction of `parent` to this program. Fails,
// as nothing else does so reliably, when `parent` names no window.
void WatchDestruction(xcb_connection_t* connection, std::uint32_t parent) {
  const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
  const xcb_void_cookie_t cookie =
      xcb_change_window_attributes_checked(connection, parent, XCB_CW_EVENT_MASK, &mask);
  if (XcbReply<xcb_generic_error_t>(xcb_request_check(connection, cookie))) {
    throw NoSuchWindow(parent);
  }
}

QSize WindowSize(xcb_connection_t* connection, std::uint32_t parent) {
  xcb_generic_error_t* raw_error = nullptr;
  const XcbReply<xcb_get_geometry_reply_t> geometry(
      xcb_get_geometry_reply(connection, xcb_get_geometry(connection, parent), &raw_error));
  const XcbReply<xcb_generic_error_t> error(raw_error);
  if (!geometry) throw NoSuchWindow(parent);
  return QSize(geometry->width, geometry->height);
}

xcb_connection_t* X11Connection(std::uint32_t parent) {
  const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr) {
    throw Error("No se puede abrir la herramienta dentro de la ventana " + Hex(parent) +
                ": la plataforma gráfica «" + QGuiApplication::platformName().toStdString() +
                "» no lo permite");
  }
  return x11->connection();
}

}  // namespace

X11Embedder::~X11Embedder() {
  // The window hangs from the host no longer once the host is gone.
  if (window_ != nullptr && window_->windowHandle() != nullptr) {
    window_->windowHandle()->setParent(nullptr);
  }
}

void X11Embedder::Embed(QWidget& window, std::uint32_t parent) {
  xcb_connection_t* connection = X11Connection(parent);
  WatchDestruction(connection, parent);
  const QSize parent_size = WindowSize(connection, parent);
  std::unique_ptr<QWindow> host(QWindow::fromWinId(parent));
  if (!host) throw NoSuchWindow(parent);

  // The order matters to Qt: the flags before the native window exists, which
  // winId() creates, and only then the foreign parent.
  window.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  window.winId();
  window.windowHandle()->setParent(host.get());
  const QSize free_space = (parent_size - window.size()).expandedTo(QSize(0, 0));
  window.move(free_space.width() / 2, free_space.height() / 2);

  host_ = std::move(host);
  parent_ = parent;
  window_ = &window;
  QCoreApplication::instance()->installNativeEventFilter(this);
}

bool X11Embedder::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
  if (type != "xcb_generic_event_t" || window_ == nullptr) return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7F) != XCB_DESTROY_NOTIFY) return false;
  const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
  if (destroyed->window != parent_) return false;
  // Closed from the event loop, not from inside the event dispatch.
  QMetaObject::invokeMethod(
      window_.data(),
      [window = window_] {
        if (window) window->close();
      },
      Qt::QueuedConnection);
  return false;
}

}  // namespace tvb::app
