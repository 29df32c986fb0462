#include "suggest/search_snippet_popup_controller.h"

#include "model/ql_settings.h"
#include "platform/keys.h"

#include <QApplication>
#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

int qtKeyFor(quint16 keyCode) {
  switch (keyCode) {
    case ql::keys::Up: return Qt::Key_Up;
    case ql::keys::Down: return Qt::Key_Down;
    case ql::keys::Return: return Qt::Key_Return;
    case ql::keys::KeypadEnter: return Qt::Key_Enter;
    case ql::keys::Tab: return Qt::Key_Tab;
    case ql::keys::Escape: return Qt::Key_Escape;
    default: return 0;
  }
}

}  // namespace

SearchSnippetPopupController::SearchSnippetPopupController(QObject* parent) : QObject(parent) {
  auto* window = new QFrame(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                                         Qt::WindowDoesNotAcceptFocus);
  window->setObjectName(QStringLiteral("SearchSnippetPopup"));
  window->setAttribute(Qt::WA_ShowWithoutActivating);
  window->setFrameShape(QFrame::Box);
  window->setFrameShadow(QFrame::Plain);
  window->setLineWidth(1);
  window->setAutoFillBackground(true);
  window->setFocusPolicy(Qt::NoFocus);
  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(1, 0, 1, 1);
  layout->setSpacing(0);
  heading_ = new QLabel(tr("Lookup For :"), window);
  heading_->setObjectName(QStringLiteral("headingLabel"));
  heading_->setFixedHeight(kHeadingHeight);
  heading_->setContentsMargins(8, 0, 8, 0);
  QFont bold = heading_->font();
  bold.setBold(true);
  heading_->setFont(bold);
  layout->addWidget(heading_);
  table_ = new SearchTableView(window);
  table_->setFocusPolicy(Qt::NoFocus);
  model_ = new SearchSnippetListModel(table_);
  table_->setModel(model_);
  layout->addWidget(table_);
  window->resize(kWidth, kEmptyHeight);
  window_ = window;

  connect(table_, &SearchTableView::snippetSelected, this, &SearchSnippetPopupController::snippetSelected);
  connect(table_, &SearchTableView::escapePressed, this, [this] {
    if (delegate && delegate->hasLastActiveApp()) delegate->activteLastApp();
    close();
  });
  // The popup never has the keyboard, so a click chooses at once.
  connect(table_, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
    if (index.row() < 1) return;
    table_->selectRow(index.row());
    snippetSelected();
  });
  window->installEventFilter(this);
}

SearchSnippetPopupController::~SearchSnippetPopupController() {
  if (!window_) return;
  if (window_->isVisible()) Q_EMIT visibilityChanged(false);
  window_->removeEventFilter(this);
  delete window_;
}

bool SearchSnippetPopupController::isVisible() const { return window_ && window_->isVisible(); }

void SearchSnippetPopupController::setSearchString(const QString& text) {
  if (text == searchString_) return;
  searchString_ = text;
  resetView();
}

void SearchSnippetPopupController::resetView() {
  if (!hasSnippets) {
    filteredSnippets.clear();
    model_->setMatches({}, QString());
    window_->resize(window_->width(), kEmptyHeight);
    return;
  }
  if (!searchString_.isEmpty() && groupUuid.isEmpty()) {
    heading_->setText(tr("Lookup For :"));
    QSet<QString> allowed;
    if (QLSettings* library = delegate ? delegate->settings() : nullptr)
      for (const GroupPtr& g : library->allowedGroups()) allowed.insert(g->uuid);
    filteredSnippets = SearchSnippetListModel::filter(snippets, searchString_, &allowed);
  } else if (!searchString_.isEmpty()) {
    heading_->setText(tr("Group Lookup :"));
    filteredSnippets.clear();
    for (const SnippetPtr& s : snippets)
      if (s && s->groupUuid.value_or(QString()) == groupUuid) filteredSnippets.append(s);
  } else {
    heading_->setText(tr("Lookup For :"));
    filteredSnippets = snippets;
  }
  model_->setSnippets(snippets);
  model_->setMatches(filteredSnippets, groupUuid.isEmpty() ? searchString_ : QString());
  table_->resetTracking();
  const int n = int(filteredSnippets.size());
  const int h = n <= 20 ? SearchTableView::kRowHeight * (n + 1) : kMaxListHeight;
  table_->setFixedHeight(h);
  window_->setFixedHeight(h + kHeadingHeight + 1);
  if (n > 0) table_->selectRow(1);
}

void SearchSnippetPopupController::snippetSelected() {
  const QString typed = searchString_;
  const int row = table_->selectedRow();
  const SnippetPtr chosen = model_->snippetAt(row);
  if (delegate) {
    delegate->closeSearchPopupWindow();
    if (delegate->hasLastActiveApp()) delegate->activteLastApp();
  }
  close();
  if (chosen && delegate)
    delegate->processSnippet(chosen, 0, 0, clearAbbreviation, delimiter, typed, 0);
}

void SearchSnippetPopupController::showAt(const std::optional<QPoint>& topLeft, int lineHeight) {
  QScreen* screen = topLeft ? QGuiApplication::screenAt(*topLeft) : nullptr;
  if (!screen) screen = QGuiApplication::primaryScreen();
  QPoint at;
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  if (topLeft) {
    at = *topLeft;
    // Kept on the screen: below the word, or above it near the bottom edge.
    at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() - window_->width())));
    if (at.y() + window_->height() > area.bottom())
      at.setY(qMax(area.top(), at.y() - lineHeight - window_->height()));
  } else {
    at = area.center() - QPoint(window_->width() / 2, window_->height() / 2);
  }
  window_->move(at);
  window_->show();
  window_->raise();
}

void SearchSnippetPopupController::close() {
  if (window_) window_->hide();
  searchString_.clear();
}

void SearchSnippetPopupController::deliverKey(quint16 keyCode, quint64 modifierFlags) {
  const int key = qtKeyFor(keyCode);
  if (!key) return;
  Qt::KeyboardModifiers modifiers;
  if (modifierFlags & ql::mods::Shift) modifiers |= Qt::ShiftModifier;
  QKeyEvent press(QEvent::KeyPress, key, modifiers);
  QCoreApplication::sendEvent(table_, &press);
}

void SearchSnippetPopupController::deliverMouseMove(const QPointF& globalPosition) {
  if (!isVisible()) return;
  const QPoint local = table_->viewport()->mapFromGlobal(globalPosition.toPoint());
  if (table_->viewport()->rect().contains(local)) table_->hoverAt(local);
}

void SearchSnippetPopupController::deliverScroll(const QPointF& globalPosition, const QPointF& steps) {
  if (!isVisible()) return;
  const QPoint local = table_->viewport()->mapFromGlobal(globalPosition.toPoint());
  if (!table_->viewport()->rect().contains(local)) return;
  QScrollBar* bar = table_->verticalScrollBar();
  bar->setValue(bar->value() - int(steps.y() * SearchTableView::kRowHeight * 3));
}

bool SearchSnippetPopupController::eventFilter(QObject* watched, QEvent* event) {
  // Closed by any means: the search text goes with it.
  if (watched == window_ && event->type() == QEvent::Hide) {
    searchString_.clear();
    Q_EMIT visibilityChanged(false);
  } else if (watched == window_ && event->type() == QEvent::Show) {
    Q_EMIT visibilityChanged(true);
  }
  return QObject::eventFilter(watched, event);
}
