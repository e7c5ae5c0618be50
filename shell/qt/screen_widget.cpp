// The screen widget: frame copies, painting, and its key and mouse events as window messages.
#include "screen_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QThread>
#include <QWheelEvent>

#include "keyboard.h"
#include "platform/messages.h"

namespace vq {

ScreenWidget::ScreenWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted: no background fill
  setFixedSize(kScreenWidth, kScreenHeight);
  setMouseTracking(true);  // moves without a button select pop-up items and set the cursor
  setFocusPolicy(Qt::StrongFocus);
}

void ScreenWidget::Present(const Surface& frame) {
  if (!frame.Exists()) return;
  {
    std::lock_guard lock(mutex_);
    if (image_.width() != frame.width || image_.height() != frame.height) {
      image_ = QImage(frame.width, frame.height, QImage::Format_RGB32);
    }
    for (int y = 0; y < frame.height; ++y) {
      const uint32_t* source = frame.pixels.data() + static_cast<size_t>(y) * frame.width;
      auto* line = reinterpret_cast<uint32_t*>(image_.scanLine(y));
      // The surface's alpha byte is unused; Format_RGB32 wants it opaque.
      for (int x = 0; x < frame.width; ++x) line[x] = source[x] | 0xFF000000u;
    }
  }
  if (QThread::currentThread() == thread()) {
    update();
  } else {
    QMetaObject::invokeMethod(
        this, [this] { update(); }, Qt::QueuedConnection);
  }
}

QImage ScreenWidget::Image() const {
  std::lock_guard lock(mutex_);
  return image_;
}

void ScreenWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  std::lock_guard lock(mutex_);
  if (image_.isNull()) {
    painter.fillRect(event->rect(), Qt::black);  // nothing presented yet
  } else {
    painter.drawImage(event->rect(), image_, event->rect());
  }
}

bool ScreenWidget::event(QEvent* event) {
  // The accelerator keys belong to the instrument, before any shortcut of Qt or the desktop
  // (Alt+F4 is PROGRAM, not close, wherever the window system lets the key through).
  if (event->type() == QEvent::ShortcutOverride &&
      KeyEventCommand(*static_cast<QKeyEvent*>(event)) != 0) {
    event->accept();
    return true;
  }
  return QWidget::event(event);
}

void ScreenWidget::keyPressEvent(QKeyEvent* event) {
  const int command = KeyEventCommand(*event);
  const int c = command ? 0 : KeyEventChar(*event);
  if (send_ && command) {
    send_(WM_COMMAND, static_cast<uintptr_t>(command), 0);
  } else if (send_ && c) {
    send_(WM_CHAR, static_cast<uintptr_t>(c), 0);
  } else {
    QWidget::keyPressEvent(event);
  }
}

void ScreenWidget::SendMouse(uint32_t message, QPointF at, uintptr_t wParam) {
  if (!send_) return;
  // As the window reports it: x in the low word, y in the high word, each a signed 16-bit value.
  const QPoint p = at.toPoint();
  const auto lParam = static_cast<intptr_t>((p.x() & 0xFFFF) | (p.y() & 0xFFFF) << 16);
  send_(message, wParam, lParam);
}

void ScreenWidget::mouseMoveEvent(QMouseEvent* event) {
  SendMouse(WM_MOUSEMOVE, event->position());
}

// A double click arrives here too (QWidget's default): the core counts its own double clicks.
void ScreenWidget::mousePressEvent(QMouseEvent* event) {
  switch (event->button()) {
    case Qt::LeftButton:
      SendMouse(WM_LBUTTONDOWN, event->position());
      break;
    case Qt::RightButton:
      SendMouse(WM_RBUTTONDOWN, event->position());
      break;
    case Qt::MiddleButton:
      SendMouse(WM_MBUTTONDOWN, event->position());
      break;
    default:
      break;
  }
}

void ScreenWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) SendMouse(WM_LBUTTONUP, event->position());
  if (event->button() == Qt::MiddleButton) SendMouse(WM_MBUTTONUP, event->position());
}

void ScreenWidget::wheelEvent(QWheelEvent* event) {
  // Whole notches of 120 eighths of a degree, as the window reports them, with the sign.
  wheelRest_ += event->angleDelta().y();
  const int notches = wheelRest_ / 120;
  wheelRest_ -= notches * 120;
  if (notches != 0) {
    SendMouse(WM_MOUSEWHEEL, event->position(),
              static_cast<uintptr_t>(static_cast<uint16_t>(notches)) << 16);
  }
  event->accept();
}

}  // namespace vq
