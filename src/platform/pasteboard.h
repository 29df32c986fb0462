#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

namespace ql {

// The clock of Pasteboard::lastRequestUs, in microseconds.
inline qint64 pasteboardClockUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// One type of pasteboard content and its raw bytes.
struct PasteboardItem {
  QString type;  // a name of platform/pasteboard_types.h, or any the owner offers
  QByteArray data;
  bool operator==(const PasteboardItem&) const = default;
};

// The general pasteboard (on X11 the CLIPBOARD selection) as typed byte blobs.
class Pasteboard : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  ~Pasteboard() override = default;

  // The types the current owner offers, in the owner's order.
  virtual QStringList types() const = 0;
  // The bytes for one type; none when they cannot be read.
  virtual std::optional<QByteArray> data(const QString& type) const = 0;

  // Empties the pasteboard; the program owns it afterwards.
  virtual void clear() = 0;
  // Replaces the whole content with these items, in this order, owned by the
  // program until someone else takes the pasteboard. False when refused.
  virtual bool write(const QList<PasteboardItem>& items) = 0;

  // Grows by at least one with every change of content or owner, by anyone.
  virtual quint64 changeCount() const = 0;

  // How often another application has fetched content the program wrote,
  // since its last clear() or write(). On X11 the pasting application asks
  // the owner for the bytes through the event loop, so after posting the
  // paste chord the program waits (with the event loop running) until this
  // grows before it posts anything else.
  virtual int fetchCount() const = 0;

  // Whether the last fetch of the program's content asked for plain text
  // without having read the offered types first: the fetching application
  // chose from a list it read earlier, from an earlier owner. A backend
  // that cannot tell says false.
  virtual bool lastFetchWasBlindPlain() const { return false; }
  // Whether that application has read the offered types at an earlier
  // paste: it is no plain-text-only target, so a blind plain fetch means its
  // list was out of date.
  virtual bool lastFetcherReadsTypes() const { return false; }

  // When another application last asked for the program's content (any
  // type, the list of types included), on pasteboardClockUs(); -1 when the
  // backend cannot tell. Some targets read again after
  // their first fetch and insert what the last read gave (Chromium), so
  // the content must not change until their requests have stopped.
  virtual qint64 lastRequestUs() const { return -1; }

  // Whether the current content is the program's own (written or cleared by
  // it, and nobody copied since). A backend that cannot tell says true.
  virtual bool isOwnedByProgram() const { return true; }

 Q_SIGNALS:
  // The content changed (owner or data).
  void changed();
  // Another application fetched the program's content; fetchCount() grew.
  void fetched();
};

}  // namespace ql
