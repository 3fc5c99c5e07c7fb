// Placing the window inside a window of another program, the timetabling
// program, which names it by its native window id.
#pragma once

#include <QWidget>
#include <cstdint>

namespace tvb::app {

class Embedder {
 public:
  virtual ~Embedder() = default;

  // Makes `window` a borderless child of the native window `parent`, placed in
  // the middle of it. Throws Error, with `window` left as it was, when `parent`
  // names no window or the platform cannot embed. Once embedded, the window is
  // closed (as by its close box) when the parent window is destroyed.
  // An Embedder embeds one window and must outlive it.
  virtual void Embed(QWidget& window, std::uint32_t parent) = 0;
};

}  // namespace tvb::app
