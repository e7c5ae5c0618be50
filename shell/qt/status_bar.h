// The status bar: four text parts ending at fixed right edges.
#pragma once

#include <QLabel>
#include <QStatusBar>
#include <array>

#include "platform/messages.h"

namespace vq {

class StatusBar : public QStatusBar {
  Q_OBJECT

 public:
  explicit StatusBar(QWidget* parent);

  void SetParts(const std::array<int, 4>& rightEdges);
  void SetText(int part, const QString& text);
  // The connection icon in part 0 (16 by 16, drawn here).
  void SetIcon(StatusIcon icon);
  // Right edges of the parts as laid out, in status bar pixels.
  std::array<int, 4> RightEdges() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void PlaceParts();

  std::array<QLabel*, 4> parts_{};
  std::array<int, 4> edges_{};
};

}  // namespace vq
