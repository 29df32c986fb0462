#pragma once

#include "content/content_types.h"
#include "expansion/expansion_executor_delegate.h"
#include "expansion/system_services.h"
#include "model/ql_snippet.h"
#include "platform/platform.h"

#include <QDateTime>
#include <QObject>

#include <optional>

namespace ql {

// Replaces a typed abbreviation by a snippet's content in the application
// that has the focus: deletes what was typed, pastes the content part by
// part with the synthetic keys between the parts, retypes the delimiter,
// moves the caret to the cursor marker, counts the use and schedules the
// pasteboard's restore. The user's typing is held for the duration, and the
// pauses keep the event loop running, so the target can fetch what it
// pastes and nothing lands out of order.
class ExpansionExecutor final : public QObject {
  Q_OBJECT

 public:
  ExpansionExecutor(const Platform& platform, SystemServices& services,
                    ExpansionExecutorDelegate& delegate, QObject* parent = nullptr);

  // First stage: deletes the typed abbreviation (|abbreviation| minus
  // removeLengtOffset characters when clearAbbreviation), expands the codes
  // and either inserts at once or opens the fill-in form. contentLength 0
  // means the length of the content without codes. False after a failure.
  bool processSnippet(const SnippetPtr& snippet, int contentLength, int abbreviationCase,
                      bool clearAbbreviation, const QString& delimiter,
                      const QString& abbreviation, int removeLengtOffset);
  // Expansion without deleting anything (the search window); does nothing
  // while the program itself is frontmost.
  bool processSnippet(const SnippetPtr& snippet);
  // Second stage: inserts expanded content.
  bool executeSnippet(const SnippetContent& content, const SnippetPtr& snippet,
                      const QString& delimiter, int contentLength);

  // Brings the application recorded in lastActiveApp back to the front.
  void activteLastApp();

  // Every key press the user makes goes through here first, so the
  // delimiter can be retyped with the modifiers it was typed with.
  void noteKeyPress(quint16 keyCode, quint64 modifierFlags, const QString& characters = {});
  // Types a consumed delimiter (its key code in decimal) again, as the user
  // typed it.
  void retypeDelimiter(const QString& delimiter);

  // The application (and its window) the user typed in before one of the
  // program's own windows took the focus.
  std::optional<ApplicationInfo> lastActiveApp;
  std::optional<WindowDescription> lastActiveAppInfo;

  // How long to wait at most for the target to fetch a part: nothing
  // follows it, or more input follows it (a slow target must not see the
  // next part or key first). The wait ends as soon as the fetch is seen. Once
  // a target missed the longer bound, the shorter one applies until a fetch
  // is seen again.
  int partPauseMs = 100;
  int fetchGraceMs = 3000;

  // Some targets decide a paste from the list of formats they read at an
  // earlier paste, while the wall clock's second differs from that read's
  // by less than this (LibreOffice: 2), and take a formatted part as plain
  // text then. Such a part is pasted again once that list is out of use.
  // 0: never. Plain-text-only targets (terminals, one-line fields) ask for
  // plain text without reading the list at all, so only targets seen
  // reading it, or known to keep it, are asked again.
  int offeredListSeconds = 2;
  // Applications known to keep such a list (their names start so, in any
  // letter case), before they were seen reading one.
  QStringList listKeepingApplications = {QStringLiteral("libreoffice"), QStringLiteral("soffice")};

  bool isExpanding() const { return stage2Running_; }

  // A BackSpace right after an expansion of a typed abbreviation, in the
  // same application, takes it back: what the expansion typed goes and the
  // abbreviation and its delimiter come back as typed. Every key press goes
  // through here first; any other key, a click or an application switch
  // ends the chance. True consumes the press.
  bool undoOnKey(const KeyEvent& event);
  bool canUndo() const { return undo_.has_value(); }
  void forgetUndo();

 Q_SIGNALS:
  // An expansion's second stage ended (after its last pause).
  void expansionFinished();

 private:
  void pastePart(const SnippetPart& part, const SnippetPtr& snippet, const QString& delimiter,
                 bool last);
  void bookkeeping(const SnippetPtr& snippet, int contentLength);
  void sendKey(quint16 keyCode, quint64 modifierFlags = 0, int times = 1);
  // The abbreviation's deletes, sent with the first part's paste chord in
  // one run; whatever is left goes out on its own.
  void flushDeletes();
  quint64 delimiterFlags(quint16 keyCode) const;
  // After a formatted part was taken as plain text from such a list.
  void repasteRich(const QString& plain);
  bool targetKeepsFormatList() const;
  void typeDelimiter(quint16 keyCode);
  // A key press as the user made it: its character where that is printable,
  // else the key with these modifiers.
  void typeAsTyped(quint16 keyCode, const QString& characters, quint64 flags);
  // Counting what the expansion types, for taking it back.
  void noteTyped(int presses);
  void armUndo(const SnippetPtr& snippet, int contentLength,
               const std::optional<QDateTime>& snippetLastUsed,
               const std::optional<QDateTime>& groupLastUsed);
  void takeBack(const KeyEvent& event);

  struct Undo {
    SnippetPtr snippet;
    int contentLength = 0;
    QString typed;                // the abbreviation as the user typed it
    int delimiterKey = -1;        // none: -1
    quint64 delimiterFlags = 0;
    QString delimiterCharacters;
    int presses = 0;              // BackSpaces that remove what was typed
    int caretMovesBack = 0;       // the caret stands this far before its end
    ApplicationInfo application;
    std::optional<QDateTime> snippetLastUsed;
    std::optional<QDateTime> groupLastUsed;
    QDateTime countedAt;
  };
  // Set by the first stage for the second while a typed abbreviation
  // expands without a form.
  std::optional<Undo> undoing_;
  std::optional<Undo> undo_;  // armed

  KeySource& keySource_;
  Workspace& workspace_;
  Pasteboard& pasteboard_;
  SystemServices& services_;
  ExpansionExecutorDelegate& delegate_;
  quint16 lastKeyCode_ = 0xFFFF;
  quint64 lastKeyFlags_ = 0;
  QString lastKeyCharacters_;
  bool stage2Running_ = false;
  bool targetMissedFetch_ = false;
  bool savePending_ = false;
  bool partPasted_ = false;  // in the expansion running now
  int pendingDeletes_ = 0;
};

}  // namespace ql
