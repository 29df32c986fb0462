#include "platform/x11/x11_accessibility.h"

#include "platform/log.h"
#include "platform/x11/x11_connection.h"
#include "platform/x11/xtest_keyboard.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>

namespace ql {
// Xlib defines Status as a macro.
using SelectionStatus = FocusedSelection::Status;
}  // namespace ql

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/record.h>

namespace ql {
namespace {

using Clock = std::chrono::steady_clock;

// How long a target may take to publish the selection the program's keys
// just made, and how recent those keys must be for it to be worth waiting.
constexpr int kSelectionWaitMs = 300;
constexpr auto kRecentInput = std::chrono::milliseconds(1000);

QClipboard* clipboard() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard()
                                                                       : nullptr;
}

}  // namespace

X11Accessibility::X11Accessibility(X11Connection& connection, XTestKeyboard& keyboard)
    : connection_(connection), keyboard_(keyboard), props_(connection) {
  if (QClipboard* c = clipboard()) {
    clipboardWatch_ = QObject::connect(c, &QClipboard::changed, c, [this](QClipboard::Mode mode) {
      if (mode != QClipboard::Selection) return;
      ++selectionChanges_;
      lastChange_ = Clock::now();
    });
  }
}

// The clipboard outlives us; its signal must not reach a freed object.
X11Accessibility::~X11Accessibility() { QObject::disconnect(clipboardWatch_); }

bool X11Accessibility::hasAssistiveAccess() const {
  int major = 0, minor = 0, event = 0, error = 0;
  return XRecordQueryVersion(connection_.display(), &major, &minor) &&
         XTestQueryExtension(connection_.display(), &event, &error, &major, &minor);
}

QString X11Accessibility::missingAccess() const {
  int major = 0, minor = 0, event = 0, error = 0;
  const bool record = XRecordQueryVersion(connection_.display(), &major, &minor);
  const bool xtest = XTestQueryExtension(connection_.display(), &event, &error, &major, &minor);
  if (!record && !xtest) return QCoreApplication::translate("X11Accessibility", "the RECORD and XTEST extensions");
  if (!record) return QCoreApplication::translate("X11Accessibility", "the RECORD extension");
  if (!xtest) return QCoreApplication::translate("X11Accessibility", "the XTEST extension");
  return {};
}

Window X11Accessibility::focusedClient() const {
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(connection_.display(), &focus, &revert);
  if (focus == None || focus == PointerRoot) {
    const auto active = props_.window(connection_.root(), "_NET_ACTIVE_WINDOW");
    focus = active ? *active : 0;
  }
  return focus ? props_.clientWindow(focus) : 0;
}

void X11Accessibility::waitForFreshSelection() {
  const Clock::time_point posted = keyboard_.lastPost();
  if (Clock::now() - posted > kRecentInput || lastChange_ >= posted) return;
  QDeadlineTimer deadline(kSelectionWaitMs);
  while (lastChange_ < posted && !deadline.hasExpired()) {
    QEventLoop loop;
    QTimer::singleShot(5, &loop, &QEventLoop::quit);
    loop.exec();
  }
}

FocusedSelection X11Accessibility::focusedSelection() {
  FocusedSelection result;
  const Window client = focusedClient();
  if (!client) {
    log(QStringLiteral("Could not get focussed element"));
    return result;
  }
  waitForFreshSelection();
  QClipboard* c = clipboard();
  const QMimeData* primary = c ? c->mimeData(QClipboard::Selection) : nullptr;
  if (!primary || !primary->hasText()) {
    log(QStringLiteral("Could not get selected range"));
    result.status = SelectionStatus::NoSelectedRange;
    return result;
  }
  result.text = primary->text();

  if (const auto exact = atspi_.focusedTextBounds(props_.pid(client))) {
    result.bounds = QRectF(*exact);
    result.status = SelectionStatus::Ok;
    return result;
  }
  result.bounds = estimate(client);
  if (result.bounds.isEmpty()) {
    log(QStringLiteral("Could not get bounds for selected range"));
    result.status = SelectionStatus::NoBounds;
    return result;
  }
  result.status = SelectionStatus::Ok;
  return result;
}

QRectF X11Accessibility::estimate(Window client) const {
  const QRect frame = props_.geometry(client);
  if (frame.isEmpty()) return {};
  Window root = 0, child = 0;
  int x = 0, y = 0, wx = 0, wy = 0;
  unsigned mask = 0;
  const bool pointer = XQueryPointer(connection_.display(), connection_.root(), &root, &child, &x,
                                     &y, &wx, &wy, &mask);
  const QPoint at = pointer && frame.contains(QPoint(x, y)) ? QPoint(x, y) : frame.center();
  return QRectF(at, QSizeF(1, 1));
}

CaretPlace X11Accessibility::focusedCaret(int before) {
  CaretPlace result;
  const Window client = focusedClient();
  if (!client) return result;
  if (const auto caret = atspi_.focusedCaret(props_.pid(client), before)) {
    result.bounds = QRectF(caret->bounds);
    result.lineBefore = caret->lineBefore;
    result.exact = true;
    return result;
  }
  result.bounds = estimate(client);
  return result;
}

}  // namespace ql
