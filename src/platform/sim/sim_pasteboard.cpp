#include "platform/sim/sim_pasteboard.h"

namespace ql::sim {

QStringList SimPasteboard::types() const {
  QStringList t;
  for (const PasteboardItem& item : items_) t.append(item.type);
  return t;
}

std::optional<QByteArray> SimPasteboard::data(const QString& type) const {
  if (unreadable_.contains(type)) return std::nullopt;
  for (const PasteboardItem& item : items_)
    if (item.type == type) return item.data;
  return std::nullopt;
}

void SimPasteboard::clear() {
  ++programWrites_;
  replace({}, kProgramOwner);
}

bool SimPasteboard::write(const QList<PasteboardItem>& items) {
  if (refusesWrites_) return false;
  ++programWrites_;
  // A type given twice keeps its first place and its last bytes.
  QList<PasteboardItem> unique;
  for (const PasteboardItem& item : items) {
    auto it = std::find_if(unique.begin(), unique.end(),
                           [&](const PasteboardItem& u) { return u.type == item.type; });
    if (it != unique.end())
      it->data = item.data;
    else
      unique.append(item);
  }
  replace(unique, kProgramOwner);
  return true;
}

void SimPasteboard::setContent(const QList<PasteboardItem>& items, const QString& owner) {
  replace(items, owner);
}

std::optional<QByteArray> SimPasteboard::fetch(const QString& type) {
  std::optional<QByteArray> bytes = data(type);
  if (ownedByProgram()) {
    lastRequestUs_ = pasteboardClockUs();
    ++fetchCount_;
    Q_EMIT fetched();
  }
  return bytes;
}

void SimPasteboard::setUnreadable(const QString& type, bool unreadable) {
  if (unreadable)
    unreadable_.insert(type);
  else
    unreadable_.remove(type);
}

void SimPasteboard::replace(const QList<PasteboardItem>& items, const QString& owner) {
  items_ = items;
  owner_ = owner;
  fetchCount_ = 0;
  ++changeCount_;
  Q_EMIT changed();
}

}  // namespace ql::sim
