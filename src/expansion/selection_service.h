#pragma once

#include "platform/accessibility.h"
#include "platform/workspace.h"

#include <QRectF>
#include <QString>

namespace ql {

// The selection of the focused element of the frontmost application.
class SelectionService final {
 public:
  SelectionService(Accessibility& accessibility, Workspace& workspace)
      : accessibility_(accessibility), workspace_(workspace) {}

  // The selection's screen rectangle with the origin at the bottom left of
  // the main screen, and its text through selectedText when it could be
  // read. The zero rectangle means the bounds are unknown.
  QRectF getScreenSelectionAndFrame(QString* selectedText);

  // Converts a rectangle between the bottom-left origin of
  // getScreenSelectionAndFrame and the top-left origin of the screen
  // (the same flip both ways).
  static QRectF flip(const QRectF& rect, const QRect& mainScreen);

 private:
  Accessibility& accessibility_;
  Workspace& workspace_;
};

}  // namespace ql
