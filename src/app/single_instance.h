#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QLocalServer;

// One Quillet per user and display (X and Wayland). The first start listens
// on a local socket in the user's runtime folder; a later start finds it
// there, asks the running one to show its library window (or to carry out
// an action: `quillet --action NAME`), and exits. A socket left behind by a
// crash answers no one and is replaced.
class SingleInstance final : public QObject {
  Q_OBJECT

 public:
  explicit SingleInstance(QString name = defaultName(), QObject* parent = nullptr);
  ~SingleInstance() override;

  // True when another instance took the request (this one should exit).
  bool notifyRunningInstance(int timeoutMs = 2000) const;
  // What the running instance answered to an action.
  enum class ActionAnswer { NoInstance, Done, Unknown };
  // Hands the action to the running instance and waits until it has been
  // carried out.
  ActionAnswer sendAction(const QString& name, int timeoutMs = 10000) const;
  // Carries out an action another start handed over; false for a name it
  // does not know.
  void setActionHandler(std::function<bool(const QString&)> handler) { actionHandler_ = std::move(handler); }

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
  std::function<bool(const QString&)> actionHandler_;
};
