#pragma once

#include <QRectF>
#include <QString>

#include <optional>

namespace ql {

// What the focused element of the frontmost application has selected.
struct FocusedSelection {
  enum class Status {
    Ok,
    NoFocusedElement,   // nothing focused, or it cannot be asked
    NoSelectedRange,    // focused, but its selection cannot be read
    NoBounds,           // the selection's text may be known, its place on screen is not
  };
  Status status = Status::NoFocusedElement;
  std::optional<QString> text;  // the selected text, when it could be read
  QRectF bounds;                // screen coordinates, top-left origin; set only with Ok
};

// Where the caret of the focused element is, asked without touching its text.
struct CaretPlace {
  // The characters asked for before the caret, or the caret itself; screen
  // coordinates, top-left origin. Empty when nothing is focused.
  QRectF bounds;
  bool exact = false;  // told by the element; else a guess near it
  // The caret's line up to the caret, when the element tells it.
  std::optional<QString> lineBefore;
};

// Questions to the focused element of the frontmost application.
class Accessibility {
 public:
  virtual ~Accessibility() = default;

  // Whether the program may watch and post input (the system's assistive
  // access; on X11: the server is reachable and offers RECORD and XTEST).
  virtual bool hasAssistiveAccess() const = 0;
  // What is missing when there is no access, in the user's words ("the
  // RECORD extension"); empty when nothing more precise is known.
  virtual QString missingAccess() const { return {}; }

  // The selection of the focused element and where it is on screen. On X11
  // the text comes from the PRIMARY selection (the caller makes one with the
  // selection keys first); the bounds are a best estimate.
  virtual FocusedSelection focusedSelection() = 0;

  // Where the caret is, with the box of the `before` characters ahead of
  // it (the word being typed); posts nothing to the application.
  virtual CaretPlace focusedCaret(int before) = 0;
};

}  // namespace ql
