#include "expansion/expansion_executor.h"

#include "content/string_helper.h"
#include "content/text/flat_rtfd.h"
#include "content/text/rtf_writer.h"
#include "expansion/expansion_text.h"
#include "model/library_saver.h"
#include "model/ql_settings.h"
#include "model/ql_statistics.h"
#include "platform/keys.h"
#include "platform/log.h"
#include "platform/password_focus.h"

#include <QDateTime>
#include <QEventLoop>
#include <QTimer>

#include <exception>
#include <stdexcept>

namespace ql {
namespace {

const QString kFirstStage = QStringLiteral("processSnippet:contentLength:abbreviationCase:");
const QString kSecondStage = QStringLiteral("executeSnippet:snippet:delimiter:contentLength:");

// Holds the user's typing while it lives, so keys typed during an expansion
// come after it, in order. Restores the state it found (stages nest).
class InputHold final {
 public:
  explicit InputHold(KeySource& source) : source_(source), previous_(source.isHoldingInput()) {
    source_.setHoldingInput(true);
  }
  ~InputHold() { release(); }
  InputHold(const InputHold&) = delete;
  InputHold& operator=(const InputHold&) = delete;

  void release() {
    if (released_) return;
    released_ = true;
    source_.setHoldingInput(previous_);
  }

 private:
  KeySource& source_;
  bool previous_;
  bool released_ = false;
};

// The plain characters of a part, as the caret counts them.
QString plainOf(const SnippetContent& data) {
  if (!data.isRtfd) return data.text;
  const auto text = readFlatRtfd(data.rtfd);
  return text ? text->string() : QString();
}

}  // namespace

ExpansionExecutor::ExpansionExecutor(const Platform& platform, SystemServices& services,
                                     ExpansionExecutorDelegate& delegate, QObject* parent)
    : QObject(parent),
      keySource_(*platform.keySource),
      workspace_(*platform.workspace),
      pasteboard_(*platform.pasteboard),
      services_(services),
      delegate_(delegate) {
  // The caret moved, or the user is elsewhere: a BackSpace is theirs again.
  connect(&keySource_, &KeySource::mouseEvent, this, [this](const MouseEvent& e) {
    if (e.type != MouseEventType::Moved && e.type != MouseEventType::Scroll) forgetUndo();
  });
  connect(&workspace_, &Workspace::applicationActivated, this, [this] { forgetUndo(); });
  // A password field took the keyboard: a BackSpace there is the user's.
  if (platform.passwordFocus)
    connect(platform.passwordFocus, &PasswordFocus::passwordFieldChanged, this, [this] { forgetUndo(); });
}

quint64 ExpansionExecutor::delimiterFlags(quint16 keyCode) const {
  // Typed again as the user typed it: "!" is Shift and a digit key.
  return keyCode == lastKeyCode_ ? lastKeyFlags_ & (mods::Shift | mods::Option) : 0;
}

void ExpansionExecutor::typeDelimiter(quint16 keyCode) {
  typeAsTyped(keyCode, keyCode == lastKeyCode_ ? lastKeyCharacters_ : QString(),
              delimiterFlags(keyCode));
}

void ExpansionExecutor::typeAsTyped(quint16 keyCode, const QString& characters, quint64 flags) {
  // A printable character comes back as typed, with whatever level and
  // group the layout needs ("@" is AltGr+Q on a German layout): its key
  // with Shift or Option alone would type something else.
  const QList<uint> typed = characters.toUcs4();
  if (typed.size() == 1 && QChar::isPrint(char32_t(typed.front())) &&
      services_.input().typeCharacter(characters))
    return;
  sendKey(keyCode, flags);
}

void ExpansionExecutor::retypeDelimiter(const QString& delimiter) {
  bool ok = false;
  const int code = delimiter.toInt(&ok);
  if (!ok || code < 0 || code > 0xFFFF) return;
  InputHold hold(keySource_);
  typeDelimiter(quint16(code));
}

void ExpansionExecutor::noteKeyPress(quint16 keyCode, quint64 modifierFlags,
                                     const QString& characters) {
  lastKeyCode_ = keyCode;
  lastKeyFlags_ = modifierFlags;
  lastKeyCharacters_ = characters;
}

bool ExpansionExecutor::processSnippet(const SnippetPtr& snippet) {
  if (!snippet) return false;
  if (services_.isAppForeGround()) return true;
  return processSnippet(snippet, 0, 0, false, QString(), snippet->abbreviation, 0);
}

bool ExpansionExecutor::processSnippet(const SnippetPtr& snippet, int contentLength,
                                       int abbreviationCase, bool clearAbbreviation,
                                       const QString& delimiter, const QString& abbreviation,
                                       int removeLengtOffset) {
  if (!snippet) return false;
  if (stage2Running_) {
    // Started from a window's timer while another expansion pastes: after it.
    QTimer::singleShot(partPauseMs, this, [=, this] {
      processSnippet(snippet, contentLength, abbreviationCase, clearAbbreviation, delimiter,
                     abbreviation, removeLengtOffset);
    });
    return true;
  }
  forgetUndo();
  InputHold hold(keySource_);
  delegate_.setHookEnabled(false);
  try {
    const QString plain = snippet->contentWithoutTags(true);
    int length = contentLength == 0 ? int(plain.size()) : contentLength;
    int caseMode = abbreviationCase;
    if (snippet->abbreviationMatchType == QLSnippet::MatchAdaptingCase)
      caseMode = expansion_text::adaptedCaseMode(abbreviationCase, plain, abbreviation);

    // Codes are expanded before anything is deleted: content that cannot be
    // expanded leaves the user's text as it was.
    QList<CodeOccurrence> keys;
    QList<CodeOccurrence> fills;
    std::optional<SnippetContent> expanded =
        snippet->processSnippet(caseMode, &keys, &fills, &length,
                                services_.pasteboard().userPasteboard());
    if (!expanded) throw std::runtime_error("the snippet has no content to insert");

    const int deletes =
        clearAbbreviation ? expansion_text::deletePressesFor(abbreviation) - removeLengtOffset : 0;

    if (fills.isEmpty()) {
      pendingDeletes_ = qMax(0, deletes);
      if (clearAbbreviation && !abbreviation.isEmpty()) {
        Undo undo;
        undo.typed = abbreviation;
        bool ok = false;
        const int code = delimiter.toInt(&ok);
        if (ok && code >= 0 && code <= 0xFFFF) {
          undo.delimiterKey = code;
          undo.delimiterFlags = delimiterFlags(quint16(code));
          if (code == lastKeyCode_) undo.delimiterCharacters = lastKeyCharacters_;
          // Typed back, it would act again.
          if (keys::hasSideEffects(quint16(code))) undo.presses = -1;
        }
        undoing_ = std::move(undo);
      }
      executeSnippet(*expanded, snippet, delimiter, length);
      undoing_.reset();
      flushDeletes();
    } else {
      sendKey(keys::Delete, 0, deletes);
      lastActiveAppInfo.reset();
      lastActiveApp = workspace_.frontmostApplication();
      if (services_.isAppForeGround()) {
        lastActiveApp.reset();
      } else {
        // The user types into the form: their keys must reach it.
        hold.release();
        FillInForm form;
        form.data = std::move(*expanded);
        form.keys = std::move(keys);
        form.fills = std::move(fills);
        form.delimiter = delimiter;
        form.snippet = snippet;
        delegate_.showFillInForm(std::move(form));
      }
    }
    delegate_.setHookEnabled(true);
    return true;
  } catch (const std::exception& e) {
    logError(kFirstStage, QString::fromUtf8(e.what()));
    // None may be left over for the next expansion.
    flushDeletes();
    delegate_.setHookEnabled(true);
    return false;
  }
}

bool ExpansionExecutor::executeSnippet(const SnippetContent& content, const SnippetPtr& snippet,
                                       const QString& delimiter, int contentLength) {
  if (!snippet) return false;
  if (stage2Running_) {
    QTimer::singleShot(partPauseMs, this, [=, this] {
      executeSnippet(content, snippet, delimiter, contentLength);
    });
    return true;
  }
  stage2Running_ = true;
  // Held to the end, so what the user typed meanwhile reaches the hook
  // once it is on again.
  InputHold hold(keySource_);
  const std::optional<QDateTime> snippetLastUsed = snippet->dateLastUsed;
  std::optional<QDateTime> groupLastUsed;
  if (QLSettings* library = delegate_.settings(); library && snippet->groupUuid)
    if (const GroupPtr group = library->getGroupByUUID(*snippet->groupUuid))
      groupLastUsed = group->dateLastUsed;
  {
    services_.backupPasteBoard();
    delegate_.setHookEnabled(false);
    // Restores asked for meanwhile (an earlier expansion's) wait until the
    // last part is in.
    services_.pasteboard().beginPasting();
    try {
      partPasted_ = false;
      const QList<SnippetPart> parts = QLSnippet::snippetParts(content);
      for (qsizetype i = 0; i < parts.size(); ++i)
        pastePart(parts[i], snippet, delimiter, i == parts.size() - 1);
    } catch (const std::exception& e) {
      logError(kSecondStage, QString::fromUtf8(e.what()));
    }
    services_.pasteboard().endPasting();
  }
  stage2Running_ = false;

  bookkeeping(snippet, contentLength);
  armUndo(snippet, contentLength, snippetLastUsed, groupLastUsed);
  delegate_.statisticsChanged();
  double delay = 0.1;
  if (QLSettings* library = delegate_.settings()) delay = library->preferences.restoreClipboardDelay;
  const int delayMs = delay > 0 && delay < 86400 ? int(delay * 1000) : 0;
  QTimer::singleShot(delayMs, this, [this] { services_.clearPasteBoard(&delegate_); });
  delegate_.setHookEnabled(true);
  Q_EMIT expansionFinished();
  return true;
}

void ExpansionExecutor::pastePart(const SnippetPart& part, const SnippetPtr& /*snippet*/,
                                  const QString& delimiter, bool last) {
  const QString plain = plainOf(part.data);
  int cursor = expansion_text::caretMovesOver(plain.right(part.cursor));

  const bool pasting = !plain.isEmpty() || (part.data.isRtfd && !part.data.rtfd.isEmpty());
  int delimiterKey = -1;
  if (last && !delimiter.isEmpty()) {
    QLSettings* library = delegate_.settings();
    bool ok = false;
    const int code = delimiter.toInt(&ok);
    if (library && library->preferences.extendType == QLPreferences::DelimiterRetyped && ok &&
        code >= 0 && code <= 0xFFFF)
      delimiterKey = code;
  }
  const int key = codes::virtualKeyFor(part.key);
  // Where the user's presses reach the application during the expansion,
  // a delimiter typed after the paste lands behind what they typed
  // meanwhile: a printable one goes in with the plain text instead.
  QString delimiterText;
  if (pasting && delimiterKey >= 0 && key < 0 && !part.data.isRtfd && !keySource_.holdsDelivery() &&
      delimiterKey == lastKeyCode_) {
    const QList<uint> typed = lastKeyCharacters_.toUcs4();
    if (typed.size() == 1 && QChar::isPrint(char32_t(typed.front()))) delimiterText = lastKeyCharacters_;
  }
  if (!pasting) flushDeletes();
  if (pasting) noteTyped(expansion_text::undoPressesFor(plain, part.data.isRtfd));
  if (pasting) {
    // The target may read the last part again after its first fetch and
    // insert what that read gives: it must still be the last part.
    if (partPasted_) services_.pasteboard().waitUntilReadsSettle();
    if (part.data.isRtfd) {
      std::optional<QByteArray> rtf;
      std::optional<QString> string;
      std::optional<QString> html;
      if (const auto text = readFlatRtfd(part.data.rtfd)) {
        rtf = writeRtf(*text, RtfAttachments::Pictures);
        string = text->string();
        // Most Linux applications take rich text only as HTML, so it is
        // offered whatever isConvertToHTML says.
        html = helper::htmlForAttributedString(*text);
      }
      services_.writeDataToPasteBoard(part.data.rtfd, rtf, string, html);
    } else {
      services_.writeStringToPasteBoard(part.data.text + delimiterText);
    }
    // A write replaces everything; a refused one must not leave the user's
    // own content to be pasted in its place.
    if (!services_.pasteboard().lastWriteTaken()) {
      services_.pasteboard().clearContents();
      delimiterText.clear();  // typed after all
    }
    partPasted_ = true;
    QList<KeyTap> taps(pendingDeletes_, KeyTap{keys::Delete, 0});
    pendingDeletes_ = 0;
    taps.append(KeyTap{keys::V, mods::Command});
    services_.sendKeyTaps(taps);
  }

  if (pasting && services_.pasteboard().lastWriteTaken()) {
    services_.pasteboard().notePasteSent();
    // Nothing may be typed before the target has the part: on X11 it
    // inserts the content whenever the fetch answer arrives, and the next
    // part must not replace content not yet fetched. The wait ends with the
    // fetch; the pasteboard orders its answer before anything posted next.
    const bool more = key >= 0 || (delimiterKey >= 0 && delimiterText.isEmpty()) || cursor > 0 || !last;
    const int bound = more && !targetMissedFetch_ ? qMax(partPauseMs, fetchGraceMs) : partPauseMs;
    // A target that does not fetch at all (Ctrl+V means something else
    // there) costs the long wait once, not at every expansion.
    if (services_.pasteboard().waitUntilFetched(bound))
      targetMissedFetch_ = false;
    else if (more)
      targetMissedFetch_ = true;
    if (part.data.isRtfd && services_.pasteboard().lastFetchWasBlindPlain() &&
        targetKeepsFormatList())
      repasteRich(plain);
  }

  if (key >= 0) {
    sendKey(quint16(key));
    noteTyped(-1);  // every {key:} press acts rather than types
  }
  if (delimiterKey >= 0) {
    if (delimiterText.isEmpty()) typeDelimiter(quint16(delimiterKey));
    noteTyped(1);
    if (cursor > 0 && delimiterKey != keys::Escape) ++cursor;
  }
  sendKey(keys::Left, 0, cursor);
  // Later parts would go in before the caret: no single run of BackSpaces
  // takes that back.
  if (undoing_ && cursor > 0) {
    if (last)
      undoing_->caretMovesBack = cursor;
    else
      noteTyped(-1);
  }
}

bool ExpansionExecutor::targetKeepsFormatList() const {
  if (services_.pasteboard().lastFetcherReadsTypes()) return true;
  const QString name = workspace_.frontmostApplication().name;
  for (const QString& prefix : listKeepingApplications)
    if (name.startsWith(prefix, Qt::CaseInsensitive)) return true;
  return false;
}

void ExpansionExecutor::repasteRich(const QString& plain) {
  // The target asked for plain text without reading what we offer: it went
  // by a list of formats read before this paste (the user's own paste, an
  // earlier plain expansion). That read came before the fetch, so from the
  // start of the second offeredListSeconds after the fetch's it reads ours
  // afresh: the part is selected back and pasted once more.
  const int moves = expansion_text::caretMovesOver(plain);
  if (offeredListSeconds <= 0 || moves <= 0) return;
  if (!expansion_text::caretMovesAreCertain(plain)) {
    // The part stays as plain text rather than risk selecting the user's.
    log(QStringLiteral("The target took a formatted part as plain text; not pasted again"));
    return;
  }
  const qint64 until =
      (QDateTime::currentMSecsSinceEpoch() / 1000 + offeredListSeconds) * 1000 + 20;
  {
    // The event loop runs: the clipboard is served meanwhile.
    QEventLoop loop;
    QTimer::singleShot(int(qMax<qint64>(0, until - QDateTime::currentMSecsSinceEpoch())), &loop,
                       &QEventLoop::quit);
    loop.exec();
  }
  log(QStringLiteral("The target took a formatted part as plain text; pasting it again"));
  const int before = services_.pasteboard().fetchCount();
  sendKey(keys::Left, mods::Shift, moves);
  sendKey(keys::V, mods::Command);
  services_.pasteboard().waitUntilFetched(qMax(partPauseMs, fetchGraceMs), before);
}

void ExpansionExecutor::bookkeeping(const SnippetPtr& snippet, int contentLength) {
  QLSettings* library = delegate_.settings();
  GroupPtr group;
  if (library) {
    if (snippet->groupUuid) group = library->getGroupByUUID(*snippet->groupUuid);
    QDateTime now = QDateTime::currentDateTime();
    now.setTime(QTime(now.time().hour(), now.time().minute(), now.time().second()));
    snippet->useCount += 1;
    snippet->dateLastUsed = now;
    if (group) group->dateLastUsed = now;
    library->preferences.characterSaved += contentLength;
    // Written in the background a moment later: the keyboard never waits
    // for the disk, and expansions in a burst share one write.
    if (library->saver) {
      library->saver->recordsChanged(ql::LibrarySaver::Kind::Usage, snippet.get(), group.get());
    } else if (!savePending_) {
      savePending_ = true;
      QTimer::singleShot(0, this, [this] {
        savePending_ = false;
        if (QLSettings* settings = delegate_.settings()) settings->saveSettings();
      });
    }
  }
  if (QLStatistics* statistics = delegate_.statistics()) statistics->updateCounters(contentLength);

  if (group && group->sound) {
    if (!group->sound->isEmpty()) services_.playSound(*group->sound);
  } else if (library && library->preferences.isPlaySound && !library->preferences.sound.isEmpty()) {
    services_.playSound(library->preferences.sound);
  }
}

void ExpansionExecutor::noteTyped(int presses) {
  if (!undoing_ || undoing_->presses < 0) return;
  undoing_->presses = presses < 0 ? -1 : undoing_->presses + presses;
}

void ExpansionExecutor::armUndo(const SnippetPtr& snippet, int contentLength,
                                const std::optional<QDateTime>& snippetLastUsed,
                                const std::optional<QDateTime>& groupLastUsed) {
  const QLSettings* library = delegate_.settings();
  if (!undoing_ || undoing_->presses <= 0 || !library || !library->preferences.isBackSpaceUndo)
    return;
  undo_ = std::move(*undoing_);
  undoing_.reset();
  undo_->snippet = snippet;
  undo_->contentLength = contentLength;
  undo_->snippetLastUsed = snippetLastUsed;
  undo_->groupLastUsed = groupLastUsed;
  undo_->application = workspace_.frontmostApplication();
  if (const QLStatistics* statistics = delegate_.statistics()) undo_->countedAt = statistics->now();
  // Not reserved where keys arrive after delivery: grabbing and giving back
  // BackSpace around every expansion upset the replay of keys held during
  // it. A delivered BackSpace has erased one character, which takeBack counts.
}

void ExpansionExecutor::forgetUndo() { undo_.reset(); }

bool ExpansionExecutor::undoOnKey(const KeyEvent& event) {
  if (!undo_) return false;
  Undo undo = std::move(*undo_);
  forgetUndo();
  const quint64 held = event.modifierFlags & (mods::Shift | mods::Control | mods::Option | mods::Command);
  if (event.keyCode != keys::Delete || held != 0 || event.isRepeat || stage2Running_) return false;
  const ApplicationInfo front = workspace_.frontmostApplication();
  if (front != undo.application) return false;
  undo_ = std::move(undo);
  takeBack(event);
  undo_.reset();
  return !event.delivered;
}

void ExpansionExecutor::takeBack(const KeyEvent& event) {
  const Undo& undo = *undo_;
  InputHold hold(keySource_);
  delegate_.setHookEnabled(false);
  // A BackSpace that reached the application has erased one character.
  const int presses = undo.presses - (event.delivered ? 1 : 0);
  QList<KeyTap> taps(undo.caretMovesBack, KeyTap{keys::Right, 0});
  taps.append(QList<KeyTap>(qMax(0, presses), KeyTap{keys::Delete, 0}));
  services_.sendKeyTaps(taps);
  const QString typed = undo.typed;
  for (char32_t c : typed.toUcs4()) {
    const QString character = QString::fromUcs4(&c, 1);
    if (!services_.input().typeCharacter(character))
      logError(QStringLiteral("undo"), QStringLiteral("a character of the abbreviation cannot be typed"));
  }
  if (undo.delimiterKey >= 0)
    typeAsTyped(quint16(undo.delimiterKey), undo.delimiterCharacters, undo.delimiterFlags);

  // Counted as not made.
  if (QLSettings* library = delegate_.settings()) {
    const SnippetPtr& snippet = undo.snippet;
    GroupPtr group;
    if (snippet->groupUuid) group = library->getGroupByUUID(*snippet->groupUuid);
    snippet->useCount = qMax<qint64>(0, snippet->useCount - 1);
    snippet->dateLastUsed = undo.snippetLastUsed;
    if (group) group->dateLastUsed = undo.groupLastUsed;
    library->preferences.characterSaved =
        qMax<qint64>(0, library->preferences.characterSaved - undo.contentLength);
    if (library->saver)
      library->saver->recordsChanged(ql::LibrarySaver::Kind::Usage, snippet.get(), group.get());
  }
  if (QLStatistics* statistics = delegate_.statistics())
    statistics->revertCounters(undo.contentLength, undo.countedAt);
  delegate_.statisticsChanged();
  delegate_.setHookEnabled(true);
  log(QStringLiteral("An expansion was taken back"));
}

void ExpansionExecutor::activteLastApp() {
  if (!lastActiveApp) return;
  const ApplicationInfo app = *lastActiveApp;
  lastActiveApp.reset();
  lastActiveAppInfo.reset();
  workspace_.activate(app);
}

void ExpansionExecutor::sendKey(quint16 keyCode, quint64 modifierFlags, int times) {
  if (times > 0) services_.sendKeyTaps(QList<KeyTap>(times, KeyTap{keyCode, modifierFlags}));
}

void ExpansionExecutor::flushDeletes() {
  const int deletes = pendingDeletes_;
  pendingDeletes_ = 0;
  sendKey(keys::Delete, 0, deletes);
}

}  // namespace ql
