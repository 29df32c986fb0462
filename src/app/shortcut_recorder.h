#pragma once

#include "model/plist.h"

#include <QLineEdit>

#include <functional>

// Records one global key combination. Click it, press the combination: it
// stores the Apple key code and modifier bits the settings file uses
// ("keyCode", "modifierFlags", "characters") and shows the combination the
// Linux way ("Ctrl+Alt+Space"). A combination needs a modifier; Escape stops
// recording, Backspace or the clear button clear it (an empty dictionary).
class ShortcutRecorder final : public QLineEdit {
  Q_OBJECT

 public:
  explicit ShortcutRecorder(QWidget* parent = nullptr);

  // Asked before a combination is taken: why it cannot be, or empty.
  std::function<QString(quint16 keyCode, quint64 modifierFlags)> isTaken;

  const ql::PlistDict& value() const { return value_; }
  // Shows value; no signal.
  void setValue(const ql::PlistDict& value);
  bool hasKey() const { return !value_.isEmpty(); }
  quint16 keyCode() const;
  quint64 modifierFlags() const;

  bool isRecording() const { return recording_; }
  // A combination pressed while recording, also one a hot key grabbed
  // before the recorder could see it: taken, or refused with the reason.
  void takeCombination(quint16 keyCode, quint64 modifierFlags);
  // Ends recording and empties the value; emits keyComboDidChange.
  void clearValue();

  // "Ctrl+Alt+Space" for a stored combination, "" for none.
  static QString displayText(quint16 keyCode, quint64 modifierFlags);
  static QString displayText(const ql::PlistDict& value);
  // A Qt key and its modifiers as an Apple key code and modifier bits;
  // false for keys the settings file has no code for.
  static bool appleCombination(int qtKey, Qt::KeyboardModifiers modifiers, quint16* keyCode,
                               quint64* modifierFlags);
  // The dictionary stored for a combination.
  static ql::PlistDict dictionary(quint16 keyCode, quint64 modifierFlags);

 Q_SIGNALS:
  // The user recorded or cleared a combination.
  void keyComboDidChange();
  // A combination was refused; reason says why.
  void refused(const QString& combination, const QString& reason);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool event(QEvent* event) override;

 private:
  void startRecording();
  void stopRecording();
  void showValue();

  ql::PlistDict value_;
  QAction* clear_ = nullptr;
  bool recording_ = false;
};
