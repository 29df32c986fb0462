#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

// One Quillet per user and X display. The first start listens on a local
// socket in the user's runtime folder; a later start finds it there, asks
// the running one to show its library window, and exits. A socket left
// behind by a crash answers no one and is replaced.
class SingleInstance final : public QObject {
  Q_OBJECT

 public:
  explicit SingleInstance(QString name = defaultName(), QObject* parent = nullptr);
  ~SingleInstance() override;

  // True when another instance took the request (this one should exit).
  bool notifyRunningInstance(int timeoutMs = 2000) const;
  // Starts answering later starts. False when the socket cannot be made,
  // or another instance started listening first.
  bool listen();

  QString serverName() const { return name_; }
  // A path private to this user, keyed by the data folder and the display.
  static QString defaultName();

 Q_SIGNALS:
  // Another start asked for the library window.
  void reopenRequested();

 private:
  void onConnection();

  QString name_;
  QLocalServer* server_ = nullptr;
};
