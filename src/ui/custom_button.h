#pragma once

#include <QTimer>
#include <QToolButton>

// A button that opens its menu when the pointer rests on it: entering
// starts a one-shot timer, leaving or pressing the button cancels it, and
// when it runs out hovered() asks the owner to open the menu. It reacts only
// while its window is active, and not while its owner has it stand still
// (another button's menu is open).
class CustomButton final : public QToolButton {
  Q_OBJECT

 public:
  static constexpr int kHoverDelayMs = 1000;

  explicit CustomButton(QWidget* parent = nullptr);

  QTimer* popupTimer() { return &popupTimer_; }
  // Stops, and starts again, following the pointer.
  void clearTrackingArea();
  void addTrackingArea();
  bool hasTrackingArea() const { return tracking_; }
  // The menu this button opened has closed: while the pointer still rests
  // here, the pointer coming back after the menu's grab is no new visit,
  // so nothing opens until it has left the button.
  void menuClosed();
  bool isWaitingForLeave() const { return waitingForLeave_; }

 Q_SIGNALS:
  void hovered(CustomButton* button);

 protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  bool isPointerInside() const;

  QTimer popupTimer_;
  bool tracking_ = true;
  bool waitingForLeave_ = false;
};
