#pragma once
// The search animation of the tool bar: plays from the start, repeatedly, while a search runs;
// stopped and rewound when it ends.
#include <QWidget>

class SearchAnimation : public QWidget {
  Q_OBJECT

 public:
  explicit SearchAnimation(QWidget* parent = nullptr);

  void play();
  void stopAndRewind();
  bool playing() const { return timerId_ != 0; }
  int frame() const { return frame_; }
  QSize sizeHint() const override { return {157, 25}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  int timerId_ = 0;
  int frame_ = 0;
};
