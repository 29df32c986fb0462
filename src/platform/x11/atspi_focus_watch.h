#pragma once

#include "platform/password_focus.h"

#include <QDBusConnection>
#include <QHash>
#include <QString>

namespace ql {

class Workspace;

// Tells password fields from the focus events of the accessibility bus
// (AT-SPI): when an element takes the focus, its role is asked once, and
// the answer is kept until the focus moves again. The key path only reads
// the flag. Every call on the bus is asynchronous and bounded, so a slow
// application or a missing bus never holds a key; without a bus the answer
// stays false.
class AtSpiFocusWatch final : public PasswordFocus {
  Q_OBJECT

 public:
  // timeoutMs bounds each question about a focused element.
  explicit AtSpiFocusWatch(Workspace& workspace, int timeoutMs = 250, QObject* parent = nullptr);
  ~AtSpiFocusWatch() override;

  bool isPasswordField() const override;
  // The focus events of the accessibility bus arrive.
  bool isWatching() const { return watching_; }

 private Q_SLOTS:
  void stateChanged(const QDBusMessage& message);

 private:
  enum class Focus { Other, Asking, Password };

  void askBusAddress();
  void attach(const QString& address);
  void giveUp(const QString& why);
  void focusGained(const QString& service, const QString& path);
  void settle(Focus focus);
  void askProcessId(const QString& service);

  Workspace& workspace_;
  int timeoutMs_;
  QString sessionName_;
  QString a11yName_;
  bool watching_ = false;

  // The element that has the focus, as the last focus event named it.
  QString service_;
  QString path_;
  quint64 serial_ = 0;  // counts focus events; a late answer of an earlier one is dropped
  Focus focus_ = Focus::Other;
  bool told_ = false;  // the last isPasswordField() announced
  QHash<QString, qint64> processIds_;  // bus name -> process id, 0 while asked
};

}  // namespace ql
