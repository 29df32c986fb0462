#pragma once

#include "app/fill_in_window_controller.h"
#include "expansion/expansion_executor.h"
#include "platform/platform.h"

#include <QObject>

#include <memory>

// The fill-in form between the executor's two stages: shown over the
// application typed in, which gets the focus back when the form goes, and
// the second stage run with the answers after OK.
class FillInFlow final : public QObject, public FillInWindowControllerDelegate {
  Q_OBJECT

 public:
  FillInFlow(const ql::Platform& platform, ql::ExpansionExecutor& executor);
  ~FillInFlow() override;

  void show(ql::FillInForm form);
  bool isVisible() const { return panel_ && panel_->isVisible(); }
  // Puts the form away as Cancel does.
  void cancel();
  // The form lost the focus: it goes, and the application comes back.
  void windowDeactivated();
  FillInWindowController* panel() const { return panel_.get(); }

  void fillInOk(FillInWindowController* form, int contentLength) override;
  void fillInCancel(FillInWindowController* form) override;

 private:
  // The second stage with the form's content; 1 when done (or when there is no form).
  int executeSnippetFill(int contentLength);

  const ql::Platform platform_;
  ql::ExpansionExecutor& executor_;
  std::unique_ptr<FillInWindowController> panel_;
};
