#pragma once

// A controller started on the simulated desktop, with every desktop dialog
// answered by the test.
#include "app/quillet_app_delegate.h"
#include "support/library_records.h"
#include "app/restore_window_controller.h"
#include "app/single_instance.h"
#include "model/string_utilities.h"
#include "platform/pasteboard_types.h"
#include "platform/sim/sim_desktop.h"
#include "support/event_loop.h"
#include "support/log_capture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QCheckBox>
#include <QComboBox>
#include <QSettings>

#include <gtest/gtest.h>

using ql::sim::SimDesktop;
namespace mods = ql::mods;

inline namespace shell_rig {

using ::test::spin;

inline QString appPath(const QString& name = QString()) {
  return ql::Utilities::getAppPath() + (name.isEmpty() ? QString() : QLatin1Char('/') + name);
}

inline ql::PlistDict hotKey(qint64 keyCode, qint64 flags) {
  ql::PlistDict d;
  d.insert(QStringLiteral("characters"), QStringLiteral("x"));
  d.insert(QStringLiteral("keyCode"), keyCode);
  d.insert(QStringLiteral("modifierFlags"), flags);
  return d;
}

// A pop-up item picked as the user picks it.
inline void choose(QComboBox* box, int index) {
  box->setCurrentIndex(index);
  Q_EMIT box->activated(index);
}

class ShellTest : public testing::Test {
 protected:
  void SetUp() override {
    QDir(appPath()).removeRecursively();
    QDir().mkpath(appPath());
  }
  void TearDown() override {
    controller.reset();
    QDir(appPath()).removeRecursively();
  }

  // Starts the controller on a library with these preferences; fill, when
  // given, makes its groups instead of one holding "sig" and "adr".
  void start(const std::function<void(QLPreferences&)>& edit = {},
             const std::function<void(QLSettings&)>& fill = {}) {
    QLSettings library;
    library.preferences.isPlaySound = false;
    if (fill) {
      fill(library);
    } else {
      auto group = test::addGroup(library, {});
      for (const char* abbreviation : {"sig", "adr"})
        test::addSnippet(library, group, QString::fromLatin1(abbreviation), QStringLiteral("text"));
    }
    if (edit) edit(library.preferences);
    ASSERT_TRUE(library.saveSettings());
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Quillet"));
    controller = std::make_unique<QuilletAppDelegate>(desktop.platform());
    controller->alertPanel = [](auto&&...) { return 0; };
    controller->alertSheet = [this](QWidget*, QMessageBox::Icon, const QString& message,
                                    const QString& details, const QStringList&) {
      alerts.append(message + QLatin1Char('|') + details);
      return alertAnswer;
    };
    controller->isSystemTrayAvailable = [this] { return trayAvailable; };
    controller->openUrl = [this](const QUrl& url) {
      opened.append(url);
      return true;
    };
    controller->terminate = [this] { ++terminated; };
    controller->randomDigit = [] { return 5; };
    ASSERT_TRUE(controller->awakeFromNib());
  }

  QString clipboardText() {
    return QString::fromUtf8(desktop.pasteboard().data(ql::pasteboard_types::String).value_or(QByteArray()));
  }

  QString field() { return desktop.focusedField() ? desktop.focusedField()->string() : QString(); }

  QLPreferences savedPreferences() {
    QLSettings saved;
    EXPECT_TRUE(saved.loadSettings());
    return saved.preferences;
  }

  SimDesktop desktop;
  std::unique_ptr<QuilletAppDelegate> controller;
  bool trayAvailable = true;
  QStringList alerts;
  int alertAnswer = 0;
  QList<QUrl> opened;
  int terminated = 0;
};

}  // namespace shell_rig
