#include "model/background_writer.h"

#include <QFileInfo>
#include <QMetaObject>
#include <QObject>
#include <QThread>

namespace ql {

namespace {

QString key(const QString& path) { return path.isEmpty() ? path : QFileInfo(path).absoluteFilePath(); }

}  // namespace

BackgroundWriter& BackgroundWriter::instance() {
  // Destroyed at exit, after waiting for the writes still queued.
  static BackgroundWriter writer;
  return writer;
}

BackgroundWriter::~BackgroundWriter() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void BackgroundWriter::write(const QString& path, PlistValue root, QObject* context, Done done) {
  enqueue(Job{key(path), std::move(root), {}, {}, context, std::move(done)});
}

void BackgroundWriter::write(const QString& path, Producer produce, QObject* context, Done done) {
  enqueue(Job{key(path), PlistValue(), std::move(produce), {}, context, std::move(done)});
}

void BackgroundWriter::write(const QString& path, Producer produce, plist::ReplaceGate gate,
                             QObject* context, Done done) {
  enqueue(Job{key(path), PlistValue(), std::move(produce), std::move(gate), context, std::move(done)});
}

void BackgroundWriter::setFlusher(const QString& path, QObject* owner, std::function<void()> flush) {
  clearFlusher(path);
  flushers_.push_back(Flusher{key(path), owner, std::move(flush)});
}

void BackgroundWriter::clearFlusher(const QString& path) {
  const QString k = key(path);
  std::erase_if(flushers_, [&](const Flusher& f) { return f.path == k; });
}

void BackgroundWriter::runFlushers(const QString& k) {
  // A flusher hands its changes over through write(), which does not come
  // back here; the flag only guards against a flusher that waits itself.
  if (flushing_) return;
  flushing_ = true;
  const auto due = flushers_;
  for (const Flusher& f : due)
    if ((k.isEmpty() || f.path == k) && f.owner && f.owner->thread() == QThread::currentThread())
      f.flush();
  flushing_ = false;
}

void BackgroundWriter::enqueue(Job job) {
  {
    std::lock_guard lock(mutex_);
    bool replaced = false;
    for (Job& queued : queue_) {
      if (queued.path == job.path) {
        queued = std::move(job);
        replaced = true;
        break;
      }
    }
    if (!replaced) queue_.push_back(std::move(job));
    if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
  }
  wake_.notify_one();
}

bool BackgroundWriter::busyWith(const QString& path) const {
  if (path.isEmpty()) return !queue_.empty() || !writing_.isEmpty();
  if (writing_ == path) return true;
  for (const Job& job : queue_)
    if (job.path == path) return true;
  return false;
}

void BackgroundWriter::waitForIdle(const QString& path) {
  const QString k = key(path);
  runFlushers(k);
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [&] { return !busyWith(k); });
}

void BackgroundWriter::waitForWritten(const QString& path) {
  const QString k = key(path);
  std::unique_lock lock(mutex_);
  idle_.wait(lock, [&] { return !busyWith(k); });
}

bool BackgroundWriter::isWriting(const QString& path) const {
  const QString k = key(path);
  std::lock_guard lock(mutex_);
  return busyWith(k);
}

void BackgroundWriter::supersede(const QString& path) {
  if (path.isEmpty()) return;
  const QString k = key(path);
  // Held-back changes are older than the bytes about to be written.
  runFlushers(k);
  std::unique_lock lock(mutex_);
  std::erase_if(queue_, [&](const Job& job) { return job.path == k; });
  idle_.wait(lock, [&] { return writing_ != k; });
}

int BackgroundWriter::writtenCount() const {
  std::lock_guard lock(mutex_);
  return written_;
}

void BackgroundWriter::run() {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
      // Stopping drains the queue first: the process ends only after the
      // last snapshot is on disk.
      if (queue_.empty()) return;
      job = std::move(queue_.front());
      queue_.pop_front();
      writing_ = job.path;
    }
    QString why;
    // Streamed: the library's text never sits in this thread's heap as one
    // block, whose pages the heap would keep after it is freed.
    bool refused = false;
    const bool ok =
        job.gate      ? plist::writeFileAtomicNow(job.path, job.produce, &why, job.gate, &refused)
        : job.produce ? plist::writeFileAtomicNow(job.path, job.produce, &why)
                      : plist::writeXmlFileAtomicNow(job.path, job.root, &why);
    job.gate = nullptr;
    job.root = PlistValue();
    job.produce = nullptr;
    {
      std::lock_guard lock(mutex_);
      writing_.clear();
      ++written_;
      // Posted before waiters are woken: a waiter that then deletes the
      // context takes the posted call with it.
      if (job.context && job.done)
        QMetaObject::invokeMethod(
            job.context, [done = std::move(job.done), ok, why] { done(ok, why); },
            Qt::QueuedConnection);
    }
    idle_.notify_all();
  }
}

}  // namespace ql
