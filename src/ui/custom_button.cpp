#include "ui/custom_button.h"

#include <QCursor>
#include <QEnterEvent>

CustomButton::CustomButton(QWidget* parent) : QToolButton(parent) {
  popupTimer_.setSingleShot(true);
  popupTimer_.setInterval(kHoverDelayMs);
  connect(&popupTimer_, &QTimer::timeout, this, [this] {
    if (tracking_ && !waitingForLeave_ && isVisible() && isEnabled() && window()->isActiveWindow())
      Q_EMIT hovered(this);
  });
}

void CustomButton::clearTrackingArea() {
  tracking_ = false;
  popupTimer_.stop();
}

void CustomButton::addTrackingArea() { tracking_ = true; }

void CustomButton::menuClosed() {
  popupTimer_.stop();
  waitingForLeave_ = isPointerInside();
}

bool CustomButton::isPointerInside() const {
  return isVisible() && rect().contains(mapFromGlobal(QCursor::pos()));
}

void CustomButton::enterEvent(QEnterEvent* event) {
  popupTimer_.stop();
  if (tracking_ && !waitingForLeave_ && isEnabled() && window()->isActiveWindow())
    popupTimer_.start();
  QToolButton::enterEvent(event);
}

void CustomButton::leaveEvent(QEvent* event) {
  popupTimer_.stop();
  // The grab of a closing menu can report a leave while the pointer stays.
  if (waitingForLeave_ && !isPointerInside()) waitingForLeave_ = false;
  QToolButton::leaveEvent(event);
}

void CustomButton::mousePressEvent(QMouseEvent* event) {
  // A click opens the menu itself, at once.
  popupTimer_.stop();
  QToolButton::mousePressEvent(event);
}

void CustomButton::hideEvent(QHideEvent* event) {
  popupTimer_.stop();
  QToolButton::hideEvent(event);
}
