// The screen widget: frame copies and painting.
#include "screen_widget.h"

#include <QPaintEvent>
#include <QPainter>
#include <QThread>

namespace vq {

ScreenWidget::ScreenWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);  // every pixel is painted: no background fill
  setFixedSize(kScreenWidth, kScreenHeight);
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

}  // namespace vq
