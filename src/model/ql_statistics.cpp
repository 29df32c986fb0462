#include "model/ql_statistics.h"

#include "model/background_writer.h"
#include "model/moved_aside.h"
#include "model/string_utilities.h"
#include "platform/log.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

using namespace ql;

QLStatistics::QLStatistics(Clock clock, QString path)
    : clock_(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTime(); })),
      path_(path.isEmpty() ? defaultPath() : std::move(path)) {
  allTime = QLCounter(QLCounter::startOfDay(clock_()));
}

QString QLStatistics::defaultPath() {
  const QString app = Utilities::getAppPath();
  const QString file = QStringLiteral("statistics.plist");
  return app.isEmpty() ? file : app + QLatin1Char('/') + file;
}

void QLStatistics::updateCounters(qint64 characters) {
  // Counts are 64-bit: a 32-bit total would turn negative for a heavy user.
  const qint64 n = std::max<qint64>(characters, 0);
  allTime.expanded += 1;
  allTime.characters += n;

  const QDateTime today = QLCounter::startOfDay(clock_());
  auto found = std::find_if(last30Days.rbegin(), last30Days.rend(),
                            [&](const QLCounter& c) { return c.name == today; });
  QLCounter* day = nullptr;
  if (found != last30Days.rend()) {
    day = &*found;
  } else {
    last30Days.append(QLCounter(today));
    day = &last30Days.last();
  }
  day->expanded += 1;
  day->characters += n;

  std::stable_sort(last30Days.begin(), last30Days.end(),
                   [](const QLCounter& a, const QLCounter& b) { return a.name > b.name; });
  saveAfterUpdate();
}

void QLStatistics::revertCounters(qint64 characters, const QDateTime& countedAt) {
  const qint64 n = std::max<qint64>(characters, 0);
  auto takeBack = [n](QLCounter& c) {
    c.expanded = std::max<qint64>(c.expanded - 1, 0);
    c.characters = std::max<qint64>(c.characters - n, 0);
  };
  takeBack(allTime);
  const QDateTime day = QLCounter::startOfDay(countedAt);
  for (QLCounter& c : last30Days)
    if (c.name == day) takeBack(c);
  saveAfterUpdate();
}

QLStatistics::~QLStatistics() {
  if (!saveTimer_) return;
  flushSave();
  BackgroundWriter::instance().clearFlusher(path_);
}

void QLStatistics::setSaveDelay(int delayMs) {
  saveDelayMs_ = delayMs;
  if (delayMs < 0 || saveTimer_) return;
  saveTimer_ = std::make_unique<QTimer>();
  saveTimer_->setSingleShot(true);
  QObject::connect(saveTimer_.get(), &QTimer::timeout, saveTimer_.get(),
                   [this] { saveInBackground(); });
  BackgroundWriter::instance().setFlusher(path_, saveTimer_.get(), [this] {
    if (saveTimer_->isActive()) saveInBackground();
  });
}

void QLStatistics::saveAfterUpdate() {
  if (saveDelayMs_ < 0 || !saveTimer_) {
    save();
    return;
  }
  // Not restarted by later updates: a held key still sees its counts on
  // disk within the delay.
  if (!saveTimer_->isActive()) saveTimer_->start(saveDelayMs_);
}

PlistDict QLStatistics::fileRoot() const {
  PlistArray days;
  days.reserve(size_t(last30Days.size()));
  for (const QLCounter& c : last30Days) days.emplace_back(c.getData());
  PlistDict root;
  root.insert(QStringLiteral("allTime"), allTime.getData());
  root.insert(QStringLiteral("last30Days"), std::move(days));
  return root;
}

void QLStatistics::saveInBackground() {
  saveTimer_->stop();
  PlistDict root = fileRoot();
  BackgroundWriter::instance().write(path_, PlistValue(std::move(root)), saveTimer_.get(),
                                     [this](bool ok, const QString& why) {
                                       // Logged once per spell; the counts
                                       // go again with the next expansion.
                                       if (!ok && !saveFailing_) logError(QStringLiteral("save"), why);
                                       saveFailing_ = !ok;
                                     });
}

void QLStatistics::flushSave() {
  if (!saveTimer_) return;
  if (saveTimer_->isActive()) saveInBackground();
  BackgroundWriter::instance().waitForIdle(path_);
  QCoreApplication::sendPostedEvents(saveTimer_.get(), QEvent::MetaCall);
}

bool QLStatistics::save() const {
  const PlistDict root = fileRoot();
  // Written through a temporary file: a crash in the middle of a write must
  // not cost the user every count collected so far.
  QString why;
  if (plist::writeFileAtomic(path_, plist::toXml(root), &why)) return true;
  logError(QStringLiteral("save"), why);
  return false;
}

bool QLStatistics::load() {
  if (!QFileInfo::exists(path_)) return false;
  QString why;
  const auto value = plist::readFile(path_, &why);
  if (!value || !value->dict()) {
    if (value) why = QStringLiteral("root is not a dictionary");
    logError(QStringLiteral("load"), why);
    // Start-up saves fresh counts when nothing loaded: the damaged file goes
    // out of the way first, kept whole, so the counts in it are not lost.
    unreadableReason = why.isEmpty() ? QStringLiteral("unreadable") : why;
    movedAsidePath = moveAside(path_);
    if (movedAsidePath.isEmpty())
      logError(QStringLiteral("load"), QStringLiteral("cannot move the unreadable statistics file aside"));
    else
      log(QStringLiteral("The statistics file could not be read; it was moved to ") + movedAsidePath);
    return false;
  }
  const PlistDict& root = *value->dict();
  if (auto v = root.value(QStringLiteral("allTime"))) allTime.setData(v->dict());
  if (auto v = root.value(QStringLiteral("last30Days")); v && v->array()) {
    for (const PlistValue& item : *v->array()) {
      if (!item.dict()) continue;
      QLCounter c(QLCounter::startOfDay(clock_()));
      c.setData(item.dict());
      last30Days.append(c);
    }
  }
  return true;
}
