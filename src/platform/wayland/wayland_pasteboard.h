#pragma once

#include "platform/pasteboard.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHash>
#include <QTimer>

struct zwlr_data_control_device_v1;
struct zwlr_data_control_offer_v1;
struct zwlr_data_control_source_v1;

struct zwlr_data_control_device_v1_listener;
struct zwlr_data_control_offer_v1_listener;
struct zwlr_data_control_source_v1_listener;

namespace ql {

class WaylandConnection;

// The clipboard through wlr data control: the program reads and sets the
// seat's selection without a window or the focus, so nothing flickers.
// Every MIME type of the user's content is read as bytes; what the program
// offers is served from memory, and each request for it is a fetch.
class WaylandPasteboard final : public Pasteboard {
  Q_OBJECT

 public:
  explicit WaylandPasteboard(WaylandConnection& connection, QObject* parent = nullptr);
  ~WaylandPasteboard() override;

  // False when the compositor offers no data control.
  bool isValid() const { return device_ != nullptr; }

  QStringList types() const override;
  std::optional<QByteArray> data(const QString& type) const override;
  void clear() override;
  bool write(const QList<PasteboardItem>& items) override;
  quint64 changeCount() const override { return changeCount_; }
  int fetchCount() const override { return fetchCount_; }
  bool isOwnedByProgram() const override { return own_ != nullptr; }

  // How long a read of another client's content may take.
  int readTimeoutMs = 1000;
  // How long after answering a fetch the target is given before the
  // program's content is replaced.
  int fetchSettleMs = 20;
  // A fetch counts once the target has read every byte and then this long
  // more: it reads the pipe in its own main loop, and a key the program
  // types next must not reach it before the pasted text is in.
  int insertGraceMs = 25;
  // How long the target may take to read what it asked for.
  int drainTimeoutMs = 1000;

 private:
  static const ::zwlr_data_control_device_v1_listener deviceListener;
  static const ::zwlr_data_control_offer_v1_listener offerListener;
  static const ::zwlr_data_control_source_v1_listener sourceListener;

  void offered(zwlr_data_control_offer_v1* offer);
  void selected(zwlr_data_control_offer_v1* offer);
  void send(zwlr_data_control_source_v1* source, const QString& type, int fd);
  void cancelled(zwlr_data_control_source_v1* source);
  bool setSource(const QList<PasteboardItem>& items);
  void checkDrained();

  struct Sending {
    int fd = -1;
    quint64 change = 0;  // the content it carries
    QDeadlineTimer deadline;
  };
  QList<Sending> sending_;
  QTimer drainTimer_;

  WaylandConnection& connection_;
  zwlr_data_control_device_v1* device_ = nullptr;
  QHash<zwlr_data_control_offer_v1*, QStringList> offers_;  // types as offered
  zwlr_data_control_offer_v1* current_ = nullptr;           // the selection, not ours
  zwlr_data_control_source_v1* own_ = nullptr;              // ours while it is the selection
  QList<PasteboardItem> ownItems_;
  quint64 changeCount_ = 0;
  int fetchCount_ = 0;
  QElapsedTimer lastFetch_;  // since the last fetch was answered
};

}  // namespace ql
