#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>

#include <deque>

class QFileSystemWatcher;
class QSocketNotifier;

namespace ql {

// Raw kernel input records (struct input_event, the 64-bit layout) from
// the keyboards and mice under /dev/input, read without a grab, so every
// other reader (the compositor) still gets them; devices plugged in later
// are opened as they appear. Or, for tests and debugging, from one FIFO
// that stands in for all devices.
class InputEventReader final : public QObject {
  Q_OBJECT

 public:
  struct Record {
    qint64 timestampMs = 0;
    quint16 type = 0;
    quint16 code = 0;
    qint32 value = 0;
  };

  explicit InputEventReader(QObject* parent = nullptr);
  ~InputEventReader() override;

  // Reads from the FIFO at path instead of the devices.
  bool openFifo(const QString& path);
  // Opens every keyboard and mouse there is and watches for new ones.
  void openDevices(const QString& folder = QStringLiteral("/dev/input"));
  void closeAll();

  int openCount() const { return int(sources_.size()); }
  // Keyboards seen that could not be opened for lack of permission.
  int deniedKeyboards() const { return denied_.size(); }

  // What an opened event device is.
  static bool isKeyboard(int fd);
  static bool isPointer(int fd);

 Q_SIGNALS:
  void record(const ql::InputEventReader::Record& record);

 private:
  struct Source {
    int fd = -1;
    QSocketNotifier* notifier = nullptr;
    QByteArray pending;  // a record cut in two by a read
  };
  void scan();
  void addSource(int fd, const QString& path);
  void readSource(const QString& path);
  void removeSource(const QString& path);
  void deliver();

  QHash<QString, Source> sources_;
  QHash<QString, bool> denied_;
  QString folder_;
  QFileSystemWatcher* watcher_ = nullptr;
  std::deque<Record> queue_;
  bool delivering_ = false;
};

}  // namespace ql
