#include "ui/custom_button.h"

#include <QEnterEvent>

CustomButton::CustomButton(QWidget* parent) : QToolButton(parent) {
  popupTimer_.setSingleShot(true);
  popupTimer_.setInterval(kHoverDelayMs);
  connect(&popupTimer_, &QTimer::timeout, this, [this] {
    if (tracking_ && isVisible() && isEnabled() && window()->isActiveWindow()) Q_EMIT hovered(this);
  });
}

void CustomButton::clearTrackingArea() {
  tracking_ = false;
  popupTimer_.stop();
}

void CustomButton::addTrackingArea() { tracking_ = true; }

void CustomButton::enterEvent(QEnterEvent* event) {
  popupTimer_.stop();
  if (tracking_ && isEnabled() && window()->isActiveWindow()) popupTimer_.start();
  QToolButton::enterEvent(event);
}

void CustomButton::leaveEvent(QEvent* event) {
  popupTimer_.stop();
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
