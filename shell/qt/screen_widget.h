// The widget that shows the instrument screen pixel for pixel and takes its keys and mouse.
#pragma once

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <mutex>

#include "platform/surface.h"

namespace vq {

class ScreenWidget : public QWidget {
  Q_OBJECT

 public:
  explicit ScreenWidget(QWidget* parent);

  // Takes a copy of the frame; may be called from any thread (the busy thread draws too).
  void Present(const Surface& frame);
  QImage Image() const;

  // Where the widget's key and mouse events go, as window messages (message, wParam, lParam).
  using Sender = std::function<void(uint32_t, uintptr_t, intptr_t)>;
  void SetSender(Sender send) { send_ = std::move(send); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void SendMouse(uint32_t message, QPointF at, uintptr_t wParam = 0);

  Sender send_;
  int wheelRest_ = 0;         // wheel movement short of a whole notch, kept for the next event
  mutable std::mutex mutex_;  // guards image_ between the drawing thread and painting
  QImage image_;
};

}  // namespace vq
