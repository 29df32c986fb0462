#pragma once

#include "content/fill_in_form.h"
#include "expansion/pasteboard_service.h"

class QLSettings;
class QLStatistics;

namespace ql {

// What the executor needs of the main controller that owns it. The end of
// an expansion (cleanUp, isRestoreClipboard) comes from
// PasteboardCleanUpTarget.
class ExpansionExecutorDelegate : public PasteboardCleanUpTarget {
 public:
  // The library; null when there is none.
  virtual QLSettings* settings() = 0;
  // The usage counters; null when there are none.
  virtual QLStatistics* statistics() = 0;
  // Switches the keyboard hook on or off.
  virtual void setHookEnabled(bool on) = 0;
  // Shows the fill-in form for this content (data, keys, fills, delimiter
  // and snippet are set); the second stage runs when the user confirms.
  virtual void showFillInForm(FillInForm form) = 0;
  // The counters changed; an open statistics window refreshes.
  virtual void statisticsChanged() {}
};

}  // namespace ql
