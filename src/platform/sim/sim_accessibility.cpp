#include "platform/sim/sim_accessibility.h"

#include "platform/sim/sim_desktop.h"

namespace ql::sim {

FocusedSelection SimAccessibility::focusedSelection() {
  FocusedSelection result;
  SimTextField* field = desktop_.focusedField();
  if (!field) return result;
  if (!field->selectionReadable) {
    result.status = FocusedSelection::Status::NoSelectedRange;
    return result;
  }
  result.text = field->selectedString();
  if (!field->boundsReadable) {
    result.status = FocusedSelection::Status::NoBounds;
    return result;
  }
  result.status = FocusedSelection::Status::Ok;
  result.bounds = field->boundsOf(field->selectionStart(), field->selectionLength());
  return result;
}

CaretPlace SimAccessibility::focusedCaret(int before) {
  CaretPlace result;
  SimTextField* field = desktop_.focusedField();
  if (!field) return result;
  const int caret = field->caret();
  if (field->selectionReadable) {
    const QString text = field->string().left(caret);
    result.lineBefore = text.mid(text.lastIndexOf(QLatin1Char('\n')) + 1);
  }
  if (field->boundsReadable) {
    const int start = qMax(0, caret - qMax(0, before));
    result.bounds = field->boundsOf(start, caret - start);
    if (result.bounds.width() <= 0) result.bounds.setWidth(1);
    result.exact = true;
  }
  return result;
}

}  // namespace ql::sim
