#pragma once

#include "expansion/input_service.h"
#include "expansion/pasteboard_service.h"
#include "expansion/selection_service.h"
#include "expansion/sound_service.h"
#include "expansion/window_service.h"
#include "platform/platform.h"

namespace ql {

// The pasteboard, synthetic-input and frontmost-application services under
// the names the rest of the program calls them by, on one object that the
// main controller owns and lends out.
class SystemServices final {
 public:
  explicit SystemServices(const Platform& platform);

  // True when the program itself is the frontmost application.
  bool isAppForeGround() const { return workspace_.isProgramFrontmost(); }

  void backupPasteBoard() { pasteboard_.backupPasteBoard(); }
  void restorePasteBoard() { pasteboard_.restorePasteBoard(); }
  void clearPasteBoard(PasteboardCleanUpTarget* target) { pasteboard_.clearPasteBoard(target); }
  void writeStringToPasteBoard(const QString& string) { pasteboard_.writeStringToPasteBoard(string); }
  bool writeDataToPasteBoard(const QByteArray& rtfd, const std::optional<QByteArray>& rtf,
                             const std::optional<QString>& stringData,
                             const std::optional<QString>& htmlData) {
    return pasteboard_.writeDataToPasteBoard(rtfd, rtf, stringData, htmlData);
  }
  void sendKeyboardEvent(const KeyRequest& request) { input_.sendKeyboardEvent(request); }
  void sendKeyTaps(const QList<KeyTap>& taps) { input_.sendKeyTaps(taps); }
  QRectF getScreenSelectionAndFrame(QString* selectedText) {
    return selection_.getScreenSelectionAndFrame(selectedText);
  }
  QList<WindowDescription> windowList(quint64 windowNumber) const {
    return windows_.windowList(windowNumber);
  }
  std::optional<WindowDescription> getWindowinfo(
      const std::optional<ApplicationInfo>& application,
      const std::optional<QList<WindowDescription>>& windowLists) const {
    return windows_.getWindowinfo(application, windowLists);
  }
  void playSound(const QString& name) { sound_.playSound(name); }

  PasteboardService& pasteboard() { return pasteboard_; }
  InputService& input() { return input_; }
  SelectionService& selection() { return selection_; }
  WindowService& windows() { return windows_; }
  SoundService& sound() { return sound_; }

 private:
  Workspace& workspace_;
  PasteboardService pasteboard_;
  InputService input_;
  SelectionService selection_;
  WindowService windows_;
  SoundService sound_;
};

}  // namespace ql
