#include "app/fill_in_flow.h"

#include "platform/log.h"

#include <QLineEdit>
#include <QTimer>
#include <QWindow>

#include <exception>

namespace {
// The pause between OK in the form and the expansion, so the application
// the user typed in is in front again.
constexpr int kFillInHandoverMs = 100;
// How long the window manager may take to put the form up before it is
// given the focus once more.
constexpr int kFocusAgainMs = 100;
}  // namespace

FillInFlow::FillInFlow(const ql::Platform& platform, ql::ExpansionExecutor& executor)
    : platform_(platform), executor_(executor) {}

FillInFlow::~FillInFlow() = default;

void FillInFlow::show(ql::FillInForm form) {
  if (!panel_) {
    panel_ = std::make_unique<FillInWindowController>();
    panel_->delegate = this;
    connect(panel_.get(), &FillInWindowController::windowDeactivated, this, &FillInFlow::windowDeactivated);
    // A passing prompt over another program's window: never a taskbar or
    // pager entry of its own, but decorated and focusable for typing.
    panel_->winId();
    platform_.workspace->setSkipsTaskbar(panel_->windowHandle(), true, true);
  }
  FillInWindowController* panel = panel_.get();
  panel->form = std::move(form);
  panel->show();
  panel->raise();
  panel->activateWindow();
  platform_.workspace->activateProgram();
  panel->resetView();
  QTimer::singleShot(kFocusAgainMs, panel, [this, panel] {
    if (!panel->isVisible()) return;
    platform_.workspace->activateProgram();
    panel->activateWindow();
    if (!panel->focusWidget() && !panel->fields().isEmpty()) panel->fields().first()->setFocus();
  });
}

void FillInFlow::cancel() {
  if (isVisible()) fillInCancel(panel_.get());
}

void FillInFlow::windowDeactivated() {
  if (!isVisible()) return;
  panel_->hide();
  executor_.activteLastApp();
}

void FillInFlow::fillInOk(FillInWindowController* form, int contentLength) {
  form->hide();
  executor_.activteLastApp();
  QTimer::singleShot(kFillInHandoverMs, this, [this, contentLength] { executeSnippetFill(contentLength); });
}

void FillInFlow::fillInCancel(FillInWindowController* form) {
  form->hide();
  executor_.activteLastApp();
}

int FillInFlow::executeSnippetFill(int contentLength) {
  if (!panel_) return 1;
  try {
    const ql::FillInForm& form = panel_->form;
    return executor_.executeSnippet(form.data, form.snippet, form.delimiter, contentLength) ? 1 : 0;
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("executeSnippet:"), QString::fromUtf8(e.what()));
    return 1;
  }
}
