#include "platform/x11/x11_pasteboard.h"

#include "platform/log.h"
#include "platform/x11/tracked_mime_data.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMetaObject>

#include <X11/Xlib.h>
#include <xcb/xcb.h>

namespace ql {
namespace {

QClipboard* clipboard() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard()
                                                                       : nullptr;
}

// Formats Qt makes up from others (a decoded image); never the owner's bytes.
bool isSynthesised(const QString& format) {
  return format == QLatin1String("application/x-qt-image");
}

// Qt answers a fetch on its own connection; the keys that follow go out on
// another. A round trip on Qt's makes the server handle the answer first,
// so the target gets the pasted content before the next key.
void syncAnswers() {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (Display* display = x11 ? x11->display() : nullptr) XSync(display, False);
}

}  // namespace

X11Pasteboard::X11Pasteboard(QObject* parent) : Pasteboard(parent) {
  auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
  auto* x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (Display* display = x11 ? x11->display() : nullptr) {
    clipboardAtom_ = XInternAtom(display, "CLIPBOARD", False);
    targetsAtom_ = XInternAtom(display, "TARGETS", False);
    for (const char* name : {"UTF8_STRING", "STRING", "TEXT", "COMPOUND_TEXT", "text/plain",
                             "text/plain;charset=utf-8"})
      plainAtoms_.append(XInternAtom(display, name, False));
    app->installNativeEventFilter(&watch_);
  }
  if (QClipboard* c = clipboard()) {
    connect(c, &QClipboard::changed, this, [this](QClipboard::Mode mode) {
      if (mode != QClipboard::Clipboard) return;
      ++changeCount_;
      Q_EMIT changed();
    });
  }
}

X11Pasteboard::~X11Pasteboard() {
  if (QCoreApplication* app = QCoreApplication::instance()) app->removeNativeEventFilter(&watch_);
}

bool X11Pasteboard::RequestWatch::nativeEventFilter(const QByteArray& eventType, void* message,
                                                    qintptr*) {
  if (eventType != "xcb_generic_event_t" || !message) return false;
  const auto* event = static_cast<const xcb_generic_event_t*>(message);
  if ((event->response_type & 0x7f) != XCB_SELECTION_REQUEST) return false;
  const auto* request = static_cast<const xcb_selection_request_event_t*>(message);
  owner_.noteRequest(request->selection, request->target, request->requestor);
  return false;  // Qt answers it
}

void X11Pasteboard::noteRequest(unsigned long selection, unsigned long target,
                                unsigned long requestor) {
  if (selection != clipboardAtom_ || !own_) return;
  lastRequestUs_ = pasteboardClockUs();
  if (target == targetsAtom_) {
    if (!typesReaders_.contains(requestor)) typesReaders_.append(requestor);
    knownReaders_.removeOne(requestor);
    knownReaders_.append(requestor);
    if (knownReaders_.size() > 64) knownReaders_.removeFirst();
    return;
  }
  fetcherReadsTypes_ = knownReaders_.contains(requestor);
  // An application that asks for plain text without knowing what we offer
  // decided from an earlier owner's list.
  blindPlain_ = !typesReaders_.contains(requestor) && plainAtoms_.contains(target);
}

bool X11Pasteboard::isOwnedByProgram() const {
  QClipboard* c = clipboard();
  return own_ && c && c->ownsClipboard();
}

const QMimeData* X11Pasteboard::content() const {
  QClipboard* c = clipboard();
  if (!c) return nullptr;
  // Our own content is read without asking the server who owns the
  // clipboard, which Qt does at every call: an expansion saves the user's
  // clipboard between deleting the abbreviation and pasting. Qt drops our
  // content when another client takes the clipboard.
  if (own_ && c->ownsClipboard()) return own_;
  return c->mimeData(QClipboard::Clipboard);
}

QStringList X11Pasteboard::types() const {
  const QMimeData* content = this->content();
  if (!content) return {};
  QStringList result;
  for (const QString& f : content->formats())
    if (!isSynthesised(f) && !result.contains(f)) result.append(f);
  return result;
}

std::optional<QByteArray> X11Pasteboard::data(const QString& type) const {
  const QMimeData* content = this->content();
  if (!content || !content->hasFormat(type)) return std::nullopt;
  if (own_ && content == own_) {
    own_->setTracking(false);
    const QByteArray bytes = content->data(type);
    own_->setTracking(true);
    return bytes;
  }
  return content->data(type);
}

bool X11Pasteboard::setContent(TrackedMimeData* content) {
  QClipboard* c = clipboard();
  if (!c) {
    delete content;
    return false;
  }
  fetchCount_ = 0;
  typesReaders_.clear();
  blindPlain_ = false;
  fetcherReadsTypes_ = false;
  own_ = content;
  c->setMimeData(content, QClipboard::Clipboard);  // the clipboard owns it now
  return c->ownsClipboard();
}

void X11Pasteboard::noteFetch(const TrackedMimeData* source) {
  if (source != own_) return;
  // Counted once Qt's handler has answered the request, so whoever waits
  // for the fetch posts nothing before the reply is on its way.
  QMetaObject::invokeMethod(
      this,
      [this, guard = QPointer<const TrackedMimeData>(source)] {
        if (!guard || guard != own_) return;
        syncAnswers();
        ++fetchCount_;
        Q_EMIT fetched();
      },
      Qt::QueuedConnection);
}

void X11Pasteboard::clear() {
  setContent(new TrackedMimeData);
}

bool X11Pasteboard::write(const QList<PasteboardItem>& items) {
  auto* content = new TrackedMimeData(
      [this](const TrackedMimeData* self, const QString&) { noteFetch(self); });
  for (const PasteboardItem& item : items) content->setData(item.type, item.data);
  const bool ok = setContent(content);
  if (!ok) log(QStringLiteral("Could not take the clipboard"));
  return ok;
}

}  // namespace ql
