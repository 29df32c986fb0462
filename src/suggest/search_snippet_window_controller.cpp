#include "suggest/search_snippet_window_controller.h"

#include "model/ql_settings.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Rounded, in the window's own colour.
class SearchWindowContentView final : public QWidget {
 public:
  using QWidget::QWidget;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.addRoundedRect(QRectF(rect()), 5, 5);
    painter.fillPath(path, SearchSnippetWindowController::kBackground);
  }
};

bool isQuitKey(const QKeyEvent* key) {
  return key->key() == Qt::Key_Q && (key->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
}

}  // namespace

SearchSnippetWindowController::SearchSnippetWindowController(QObject* parent) : QObject(parent) {
  auto* window = new SearchWindowContentView(nullptr);
  window->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
  window->setObjectName(QStringLiteral("SearchSnippet"));
  window->setAttribute(Qt::WA_TranslucentBackground);
  auto* layout = new QVBoxLayout(window);
  layout->setContentsMargins(4, 4, 4, 1);
  layout->setSpacing(0);
  field_ = new QLineEdit(window);
  field_->setObjectName(QStringLiteral("searchTextField"));
  field_->setClearButtonEnabled(true);
  field_->setPlaceholderText(tr("Search snippets"));
  layout->addWidget(field_, 0, Qt::AlignTop);
  layout->addSpacing(kFieldHeight - 4 - field_->sizeHint().height() > 0
                         ? kFieldHeight - 4 - field_->sizeHint().height()
                         : 0);
  table_ = new SearchTableView(window);
  model_ = new SearchSnippetListModel(table_);
  table_->setModel(model_);
  table_->hide();
  layout->addWidget(table_);
  layout->addStretch(1);
  window->resize(kWidth, kCollapsedHeight);
  window_ = window;

  connect(field_, &QLineEdit::textChanged, this, &SearchSnippetWindowController::actionSearchChanged);
  connect(table_, &SearchTableView::snippetSelected, this, &SearchSnippetWindowController::snippetSelected);
  connect(table_, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
    if (index.row() >= 1) snippetSelected();
  });
  connect(table_, &SearchTableView::focusTableView, this, &SearchSnippetWindowController::focusTableView);
  connect(table_, &SearchTableView::escapePressed, this, [this] {
    if (delegate) {
      delegate->closeSearchMenuWindow();
      if (delegate->hasLastActiveApp()) delegate->activteLastApp();
    }
    close();
  });
  for (QObject* o : {static_cast<QObject*>(window), static_cast<QObject*>(field_),
                     static_cast<QObject*>(table_)})
    o->installEventFilter(this);
}

SearchSnippetWindowController::~SearchSnippetWindowController() {
  if (!window_) return;
  // Closing sends it events that must not reach a half-destroyed controller.
  for (QObject* o : {static_cast<QObject*>(window_.data()), static_cast<QObject*>(field_),
                     static_cast<QObject*>(table_)})
    o->removeEventFilter(this);
  delete window_;
}

bool SearchSnippetWindowController::isVisible() const { return window_ && window_->isVisible(); }

void SearchSnippetWindowController::showAt(const QPoint& topLeft) {
  QScreen* screen = QGuiApplication::screenAt(topLeft);
  if (!screen) screen = QGuiApplication::primaryScreen();
  collapse();
  QPoint at = topLeft;
  if (screen) {
    const QRect area = screen->availableGeometry();
    // Opened from a tray at the bottom, the window grows upwards out of sight
    // otherwise: start it at most half way down.
    at.setX(qBound(area.left(), at.x(), qMax(area.left(), area.right() - window_->width())));
    at.setY(qBound(area.top(), at.y(), area.top() + area.height() / 2));
  }
  frameOrigin = at;
  window_->move(at);
  window_->show();
  window_->raise();
  window_->activateWindow();
  field_->setFocus();
  windowActivated();
}

void SearchSnippetWindowController::close() {
  if (!window_) return;
  window_->hide();
  field_->clear();
  field_->setFocus();
  collapse();
}

void SearchSnippetWindowController::collapse() {
  table_->hide();
  window_->setFixedHeight(kCollapsedHeight);
}

void SearchSnippetWindowController::actionSearchChanged() {
  const QString query = field_->text();
  if (!query.isEmpty()) {
    filteredSnippets = SearchSnippetListModel::filter(snippets, query);
    model_->setSnippets(snippets);
    model_->setMatches(filteredSnippets, query);
    const int n = int(filteredSnippets.size());
    QScreen* screen = QGuiApplication::screenAt(frameOrigin);
    if (!screen) screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, kWidth, 450);
    const int cap = qMax(SearchTableView::kRowHeight, area.height() - 50);
    const int h = qMin(SearchTableView::kRowHeight * (n + 1), cap);
    table_->setFixedHeight(h);
    table_->show();
    window_->setFixedHeight(h + kFieldHeight + 1);
    // Opened from a panel at the bottom it grows upwards, never past the
    // edge of the screen's free area.
    const int top = qMax(area.top(), qMin(frameOrigin.y(), area.bottom() + 1 - window_->height()));
    if (window_->y() != top) window_->move(window_->x(), top);
    if (n > 0) table_->selectRow(1);
  } else {
    filteredSnippets.clear();
    model_->setMatches({}, QString());
    collapse();
  }
  table_->resetTracking();
}

void SearchSnippetWindowController::focusTableView() {
  table_->setFocus();
  if (table_->selectedRow() < 1) table_->selectRow(1);
}

void SearchSnippetWindowController::giveFocusBack() {
  if (delegate && delegate->hasLastActiveApp()) delegate->activteLastApp();
  // A window left on top of the application would hide what is pasted.
  window_->hide();
}

void SearchSnippetWindowController::snippetSelected() {
  const SnippetPtr chosen = model_->snippetAt(table_->selectedRow());
  giveFocusBack();
  if (delegate) delegate->closeSearchMenuWindow();
  close();
  if (!chosen || !delegate) return;
  QLSettings* library = delegate->settings();
  const double delay = library ? library->preferences.snippetProcessDelay : 0.1;
  QPointer<SearchSnippetWindowController> self(this);
  QTimer::singleShot(qMax(0, int(delay * 1000)), this, [self, chosen] {
    if (self && self->delegate) self->delegate->processSnippet(chosen);
  });
}

void SearchSnippetWindowController::windowActivated() {
  field_->clear();
  collapse();
}

void SearchSnippetWindowController::windowDeactivated() {
  field_->setFocus();
  field_->clear();
  collapse();
  // Left for another window: a window kept on top would cover it.
  window_->hide();
}

bool SearchSnippetWindowController::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::ShortcutOverride: {
      // Ctrl+Q here leaves the window; it must not reach the Quit command.
      auto* key = static_cast<QKeyEvent*>(event);
      if (isQuitKey(key)) {
        event->accept();
        return true;
      }
      break;
    }
    case QEvent::KeyPress: {
      auto* key = static_cast<QKeyEvent*>(event);
      if (isQuitKey(key)) {
        giveFocusBack();
        return true;
      }
      if (watched != field_) break;
      if (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down) {
        if (!filteredSnippets.isEmpty()) focusTableView();
        return true;
      }
      if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // The first match is highlighted as the user types: Return takes it.
        if (!filteredSnippets.isEmpty() && table_->selectedRow() >= 1) snippetSelected();
        return true;
      }
      if (key->key() == Qt::Key_Escape) {
        if (field_->text().isEmpty())
          giveFocusBack();
        else
          actionSearchChanged();
        return true;
      }
      break;
    }
    case QEvent::WindowDeactivate:
      if (watched == window_) windowDeactivated();
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}
