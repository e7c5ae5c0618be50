// The widget that shows the instrument screen: the last presented frame, pixel for pixel.
#pragma once

#include <QImage>
#include <QWidget>
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

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  mutable std::mutex mutex_;  // guards image_ between the drawing thread and painting
  QImage image_;
};

}  // namespace vq
