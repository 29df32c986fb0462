#include "expansion/selection_service.h"

#include "platform/log.h"

#include <exception>

namespace ql {

QRectF SelectionService::getScreenSelectionAndFrame(QString* selectedText) {
  try {
    const FocusedSelection s = accessibility_.focusedSelection();
    switch (s.status) {
      case FocusedSelection::Status::NoFocusedElement:
        ql::log(QStringLiteral("Could not get focussed element"));
        return {};
      case FocusedSelection::Status::NoSelectedRange:
        ql::log(QStringLiteral("Could not get selected range"));
        return {};
      case FocusedSelection::Status::NoBounds:
      case FocusedSelection::Status::Ok:
        break;
    }
    if (s.text && selectedText) *selectedText = *s.text;
    if (s.status == FocusedSelection::Status::NoBounds) {
      ql::log(QStringLiteral("Could not get bounds for selected range"));
      return {};
    }
    return flip(s.bounds, workspace_.mainScreenGeometry());
  } catch (const std::exception& e) {
    logError(QStringLiteral("getScreenSelectionFrame"), QString::fromUtf8(e.what()));
    return {};
  }
}

QRectF SelectionService::flip(const QRectF& rect, const QRect& mainScreen) {
  const double bottom = double(mainScreen.y()) + double(mainScreen.height());
  return QRectF(rect.x(), bottom - rect.y() - rect.height(), rect.width(), rect.height());
}

}  // namespace ql
