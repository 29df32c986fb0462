#pragma once

#include "expansion/keyboard_hook_delegate.h"
#include "expansion/matching_cache.h"
#include "platform/platform.h"

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointF>
#include <QSet>
#include <QString>
#include <QStringList>

#include <bitset>
#include <optional>

class QLSettings;

// The program's ear on the keyboard: sees every key press in the other
// applications through the key source, keeps what is typed in a word
// buffer, and hands it to matching after every character (immediate mode)
// or at a delimiter key; matching decides whether the press is consumed and
// which snippet expands. Also watches modifier changes (a Shift tap asks for
// suggestions) and clicks outside the program (they end the word).
class KeyboardHook final : public QObject {
  Q_OBJECT

 public:
  // Loads the illegal keys; the hook is not connected yet.
  explicit KeyboardHook(const ql::Platform& platform, QObject* parent = nullptr);
  ~KeyboardHook() override;

  KeyboardHookDelegate* delegate = nullptr;

  // Connects to the key source, then setIsHook(enable). False when the key
  // source cannot start (no access to the keyboard).
  bool installHook(bool enable);
  void uninstallHook();
  // Key stream and mouse monitor on or off together.
  void setIsHook(bool on);
  bool isHook() const { return isHook_; }
  void installMouseHook() { mouseMonitor_ = true; }
  void uninstallMouseHook() { mouseMonitor_ = false; }

  void clearWords();
  // The word buffer: one entry per accepted key press, its characters as typed.
  const QStringList& words() const { return words_; }
  // The entries joined.
  const QString& joinedWords() const { return joined_; }

  // The snippets allowed to expand in the frontmost application.
  const QList<SnippetPtr>& snippets() const;

  // The keys that end a word without entering it ("illegal"), as the decimal
  // key codes of the resource.
  const QSet<QString>& illegalCharacters() const { return illegalCharacters_; }
  bool isIllegalKey(quint16 keyCode) const;

  // The library: the delegate's.
  QLSettings* getGlobalSettings();

  // The key source's handler: true consumes the press.
  bool eventTapFunction(const ql::KeyEvent& event);
  // Modifier changes: a Shift tap asks for suggestions.
  void flagsChanged(quint64 modifierFlags);
  // A password field took the focus (or left it).
  void passwordFieldChanged(bool isPassword);
  // The word-buffer step; true consumes the press.
  bool getCharacter(const ql::KeyEvent& event);
  // Asks the delegate for suggestions for the buffered text.
  void groupSuggestions();
  // The mouse monitor's handler, and its click handling.
  void eventHandler(const ql::MouseEvent& event);
  void getMouse(const ql::MouseEvent& event);

  // The frontmost application changed (nullopt: no notification). Rebuilds
  // the eligible list and switches the hook on, or off for the program itself.
  void appChanged(const std::optional<ql::ApplicationInfo>& activated);
  // Matching of the buffered text at a key press; delimiter is "" in
  // immediate mode, else the delimiter's key code in decimal. True consumes
  // the press.
  bool processWord(const QString& text, const ql::KeyEvent& event, const QString& delimiter);

 private:
  void loadIllegalCharacters();
  void appendWord(const QString& characters);
  bool consume(const ql::KeyEvent& event);
  // Delimiter mode on a backend that sees keys only after delivery: while
  // the word typed so far would expand, the delimiters that cannot be
  // erased (Return, Enter, Tab, Escape) are reserved, so such a press
  // reaches the program before the application.
  void updateDelimiterReservation();
  void releaseDelimiterReservation();
  bool matchDelimited(const QLSettings& settings, const QString& text, const ql::KeyEvent& event,
                      const QString& delimiter);
  bool matchImmediate(const QLSettings& settings, const QString& text, const ql::KeyEvent& event);
  bool expand(const SnippetPtr& snippet, const ql::KeyEvent& event, const QString& delimiter,
              const QString& typed, int removeLengthOffset);
  void closeFloatingWindows();

  ql::Platform platform_;
  bool installed_ = false;
  bool isHook_ = false;
  bool mouseMonitor_ = false;
  QList<QMetaObject::Connection> connections_;

  QStringList words_;
  QString joined_;
  const ql::MatchingIndex& index() const;
  ql::MatchingCache matching_;
  std::shared_ptr<const ql::MatchingCache::Prepared> eligible_;  // null: none

  QSet<QString> illegalCharacters_;
  std::bitset<65536> illegalKeys_;

  bool delimitersReserved_ = false;
  bool oldShiftState_ = false;
  QPointF lastMousePosition_;
};
