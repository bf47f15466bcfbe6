#include "app/gui/search_animation.h"

#include <QPainter>
#include <QTimerEvent>

namespace {
constexpr int kFrames = 16;
constexpr int kFrameMs = 90;
}  // namespace

SearchAnimation::SearchAnimation(QWidget* parent) : QWidget(parent) {
  setObjectName("searchAnimation");
  setFixedSize(157, 25);
}

void SearchAnimation::play() {
  frame_ = 0;
  if (!timerId_) timerId_ = startTimer(kFrameMs);
  update();
}

void SearchAnimation::stopAndRewind() {
  if (timerId_) killTimer(timerId_);
  timerId_ = 0;
  frame_ = 0;
  update();
}

void SearchAnimation::timerEvent(QTimerEvent* event) {
  if (event->timerId() != timerId_) return QWidget::timerEvent(event);
  frame_ = (frame_ + 1) % kFrames;
  update();
}

void SearchAnimation::paintEvent(QPaintEvent*) {
  // A beam sweeping over a row of print servers: still when idle.
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor box = palette().color(QPalette::Mid);
  const QColor lit = palette().color(QPalette::Highlight);
  constexpr int kBoxes = 8;
  const int step = (width() - 8) / kBoxes;
  const int lit1 = timerId_ ? frame_ % kBoxes : -1;
  const int lit2 = timerId_ ? (frame_ + kBoxes / 2) % kBoxes : -1;
  for (int i = 0; i < kBoxes; ++i) {
    const QRectF r(4 + i * step + 2, 7, step - 6, 11);
    p.setPen(box.darker(130));
    p.setBrush(i == lit1 || i == lit2 ? lit : box);
    p.drawRoundedRect(r, 2, 2);
  }
}
