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

}  // namespace ql::sim
