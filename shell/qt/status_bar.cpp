// The status bar: parts placed by hand, since QStatusBar's own layout adds spacing of its own.
#include "status_bar.h"

#include <QPainter>
#include <QPixmap>
#include <algorithm>

#include "platform/host.h"

namespace vq {

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent), edges_(kStatusPartEdges) {
  setSizeGripEnabled(false);  // the window has a fixed size
  for (QLabel*& part : parts_) {
    part = new QLabel(this);
    part->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    part->setIndent(2);
  }
  PlaceParts();
}

void StatusBar::SetParts(const std::array<int, 4>& rightEdges) {
  edges_ = rightEdges;
  PlaceParts();
}

void StatusBar::SetText(int part, const QString& text) {
  if (part >= 0 && part < static_cast<int>(parts_.size())) parts_[part]->setText(text);
}

namespace {

// Two plugs meeting: green when connected, amber while a command is under way.
QPixmap LinkPixmap(const QColor& colour) {
  QPixmap pixmap(16, 16);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(colour);
  painter.drawRect(1, 5, 5, 6);
  painter.drawRect(10, 5, 5, 6);
  painter.drawLine(6, 7, 10, 7);
  painter.drawLine(6, 9, 10, 9);
  return pixmap;
}

}  // namespace

void StatusBar::SetIcon(StatusIcon icon) {
  switch (icon) {
    case StatusIcon::None:
      parts_[0]->setPixmap(QPixmap());
      break;
    case StatusIcon::Link:
      parts_[0]->setPixmap(LinkPixmap(QColor(0, 160, 0)));
      break;
    case StatusIcon::Busy:
      parts_[0]->setPixmap(LinkPixmap(QColor(230, 150, 0)));
      break;
  }
}

std::array<int, 4> StatusBar::RightEdges() const {
  std::array<int, 4> edges{};
  for (size_t i = 0; i < parts_.size(); ++i) edges[i] = parts_[i]->geometry().right() + 1;
  return edges;
}

void StatusBar::resizeEvent(QResizeEvent* event) {
  QStatusBar::resizeEvent(event);
  PlaceParts();
}

void StatusBar::PlaceParts() {
  int left = 0;
  for (size_t i = 0; i < parts_.size(); ++i) {
    parts_[i]->setGeometry(left, 0, std::max(0, edges_[i] - left), height());
    left = edges_[i];
  }
}

}  // namespace vq
