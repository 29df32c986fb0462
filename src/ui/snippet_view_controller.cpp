#include "ui/snippet_view_controller.h"

#include "ui_snippet_view_controller.h"

#include "content/text/flat_rtfd.h"
#include "model/string_utilities.h"
#include "platform/log.h"
#include "ui/content_text_view.h"
#include "ui/custom_button.h"
#include "ui/text_document_bridge.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include <exception>

namespace {

// Content is written into the snippet once typing pauses this long.
constexpr int kCommitDelayMs = 400;

const QString kEmptyPlaceholder = QStringLiteral("(Empty)");
const QString kCursorPrefix = QStringLiteral("%cursor:");
const QString kFillCode = QStringLiteral("{fill:field}");

// Qt lays out a word too long for a line in time that grows with the
// square of its length (minutes for a megabyte); content holding such a
// word wraps anywhere instead.
constexpr int kLongestWrappedWord = 1000;

QTextOption::WrapMode wrapModeFor(const QString& text) {
  int run = 0;
  for (const QChar c : text) {
    run = c.isSpace() ? 0 : run + 1;
    if (run > kLongestWrappedWord) return QTextOption::WrapAnywhere;
  }
  return QTextOption::WordWrap;
}

QList<int> defaultTabStops() { return ql::formattedTabStops(); }

struct Entry {
  QString title;
  QString code;  // empty: a separator
};

const QList<Entry>& dateEntries() {
  static const QList<Entry> e = {
      {"year", "%Y"},  {"year", "%y"},   {}, {"month", "%B"}, {"month", "%b"},
      {"month", "%m"}, {"month", "%1m"}, {}, {"day", "%A"},   {"day", "%a"},
      {"day", "%d"},   {"day", "%e"}};
  return e;
}

const QList<Entry>& timeEntries() {
  static const QList<Entry> e = {{"hour", "%H"},
                                 {"hour", "%I"},
                                 {"hour", "%1H"},
                                 {"hour", "%1I"},
                                 {},
                                 {"minute", "%M"},
                                 {"minute", "%1M"},
                                 {},
                                 {"second", "%S"},
                                 {"second", "%1S"},
                                 {},
                                 {"AM/PM", "%p"}};
  return e;
}

QString titleFormat(const QString& code) {
  static const QHash<QString, QString> formats = {
      {"%e", "Day     (%%e)_: %@"},
      {"%d", "Day     (%%d)_: %@"},
      {"%a", "Day     (%%a)_: %@"},
      {"%A", "Day     (%%A)_: %@"},
      {"%1m", "Month (%%1m)_: %@"},
      {"%m", "Month (%%m)_: %@"},
      {"%b", "Month (%%b)_: %@"},
      {"%B", "Month (%%B)_: %@"},
      {"%y", "Year    (%%y)_: %@"},
      {"%Y", "Year    (%%Y)_: %@"},
      {"%p", "AM/PM (%%p)_: %@"},
      {"%1S", "Second (%%1S)_: %@_(0-59)"},
      {"%S", "Second (%%S)_: %@_(00-59)"},
      {"%1M", "Minute (%%1M)_: %@_(0-59)"},
      {"%M", "Minute (%%M)_: %@_(00-59)"},
      {"%1I", "Hour    (%%1I)_: %@_(0-12)"},
      {"%1H", "Hour    (%%1H)_: %@_(0-23)"},
      {"%I", "Hour    (%%I)_: %@_(01-12)"},
      {"%H", "Hour    (%%H)_: %@_(00-23)"},
  };
  return formats.value(code);
}

void criticalBox(QWidget* parent, const QString& message, const QString& details) {
  auto* box = new QMessageBox(QMessageBox::Critical, QStringLiteral("Quillet"), message,
                              QMessageBox::Ok, parent ? parent->window() : nullptr);
  box->setInformativeText(details);
  box->setWindowModality(Qt::WindowModal);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

}  // namespace

SnippetViewController::SnippetViewController(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::SnippetView>()) {
  showError = [this](const QString& m, const QString& d) { criticalBox(this, m, d); };
  commitTimer_.setSingleShot(true);
  commitTimer_.setInterval(kCommitDelayMs);
  connect(&commitTimer_, &QTimer::timeout, this, &SnippetViewController::commitContent);
  buildForm();
  buildFormatMenu();
  setInsertMenu();
  resetView();
}

SnippetViewController::~SnippetViewController() = default;

ContentTextView* SnippetViewController::contentView() const { return ui_->content; }

QLineEdit* SnippetViewController::abbreviationTextField() const { return ui_->abbreviation; }

void SnippetViewController::buildForm() {
  ui_->setupUi(this);
  insertMenu_ = new QMenu(this);
  ui_->insertMenuButon->setMenu(insertMenu_);
  ui_->insertMenuButon->setPopupMode(QToolButton::InstantPopup);
  connect(insertMenu_, &QMenu::aboutToShow, this, &SnippetViewController::setInsertMenu);
  // Each opens its part of the insert menu (the buttons' insertMenuIndex).
  submenuButtons_ = {ui_->dateButton, ui_->timeButton, ui_->keysButton, ui_->positionButton};
  for (CustomButton* b : std::as_const(submenuButtons_)) {
    connect(b, &QToolButton::clicked, this, [this, b] { openSubmenu(b); });
    connect(b, &CustomButton::hovered, this, &SnippetViewController::actionButtonHover);
  }
  formatMenu_ = new QMenu(this);
  ui_->formatMenuButon->setMenu(formatMenu_);
  ui_->formatMenuButon->setPopupMode(QToolButton::InstantPopup);

  connect(ui_->label, &QLineEdit::textEdited, this, &SnippetViewController::fieldEdited);
  connect(ui_->abbreviation, &QLineEdit::textEdited, this, &SnippetViewController::fieldEdited);
  connect(ui_->label, &QLineEdit::editingFinished, this, &SnippetViewController::finishEditing);
  connect(ui_->abbreviation, &QLineEdit::editingFinished, this, &SnippetViewController::finishEditing);
  connect(ui_->snippetTypeButton, &QComboBox::activated, this, &SnippetViewController::actionSnippetType);
  connect(ui_->abbreviationTypeButton, &QComboBox::activated, this, &SnippetViewController::actionAbbreviationType);
  connect(ui_->isConvertToHTMLButton, &QCheckBox::clicked, this, [this](bool on) {
    if (!snippet_) return;
    snippet_->isConvertToHTML = on;
    actionConvertToHTML();
  });
  connect(ui_->content, &QTextEdit::textChanged, this, &SnippetViewController::textDidChange);
  connect(ui_->content, &ContentTextView::editingEnded, this, &SnippetViewController::finishEditing);
  connect(ui_->content, &ContentTextView::insertImageRequested, this, &SnippetViewController::chooseAndAttachFiles);
}

void SnippetViewController::buildFormatMenu() {
  formatMenu_->addAction(tr("Font…"), this, [this] {
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, ui_->content->currentFont(), this);
    if (!ok) return;
    applyFormat([&](QTextCharFormat& f) {
      f.setFontFamilies(QStringList{font.family()});
      f.setFontPointSize(font.pointSizeF());
      f.setFontWeight(font.bold() ? QFont::Bold : QFont::Normal);
      f.setFontItalic(font.italic());
    });
  });
  formatMenu_->addSeparator();
  auto toggle = [this](const QString& title, const QKeySequence& key, auto change) {
    QAction* a = formatMenu_->addAction(title, this, [this, change] { applyFormat(change); });
    a->setShortcut(key);
    a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(a);
  };
  toggle(tr("Bold"), QKeySequence::Bold, [this](QTextCharFormat& f) {
    f.setFontWeight(ui_->content->fontWeight() >= QFont::DemiBold ? QFont::Normal : QFont::Bold);
  });
  toggle(tr("Italic"), QKeySequence::Italic,
         [this](QTextCharFormat& f) { f.setFontItalic(!ui_->content->fontItalic()); });
  toggle(tr("Underline"), QKeySequence::Underline,
         [this](QTextCharFormat& f) { f.setFontUnderline(!ui_->content->fontUnderline()); });
  formatMenu_->addAction(tr("Colour…"), this, [this] {
    const QColor c = QColorDialog::getColor(ui_->content->textColor(), this);
    if (c.isValid()) applyFormat([&](QTextCharFormat& f) { f.setForeground(c); });
  });
  formatMenu_->addSeparator();
  const QList<QPair<QString, Qt::Alignment>> aligns = {
      {tr("Align Left"), Qt::AlignLeft | Qt::AlignAbsolute},
      {tr("Center"), Qt::AlignHCenter},
      {tr("Align Right"), Qt::AlignRight | Qt::AlignAbsolute},
      {tr("Justify"), Qt::AlignJustify}};
  for (const auto& [title, align] : aligns)
    formatMenu_->addAction(title, this, [this, align = align] {
      if (snippet_ && snippet_->snippetType == QLSnippet::Formatted)
        ui_->content->setAlignment(align);
    });
}

void SnippetViewController::applyFormat(const std::function<void(QTextCharFormat&)>& change) {
  if (!snippet_ || snippet_->snippetType != QLSnippet::Formatted || ui_->content->isReadOnly())
    return;
  QTextCharFormat f;
  change(f);
  ui_->content->mergeCurrentCharFormat(f);
}

void SnippetViewController::actionButtonHover(CustomButton* button) {
  if (!button || !button->isEnabled()) return;
  button->setFocus(Qt::OtherFocusReason);
  openSubmenu(button);
}

void SnippetViewController::openSubmenu(CustomButton* button) {
  setInsertMenu();  // the date and time examples of this moment
  QMenu* menu = submenu(button->property("insertMenuIndex").toInt());
  if (!menu) return;
  // The other buttons stand still while this menu is open.
  for (CustomButton* b : std::as_const(submenuButtons_))
    if (b != button) b->clearTrackingArea();
  connect(menu, &QMenu::aboutToHide, this, &SnippetViewController::menuDidClose,
          Qt::UniqueConnection);
  menu->popup(button->mapToGlobal(QPoint(0, button->height())));
}

void SnippetViewController::menuDidClose() {
  for (CustomButton* b : std::as_const(submenuButtons_)) {
    b->addTrackingArea();
    b->menuClosed();
  }
}

QMenu* SnippetViewController::submenu(int index) const {
  const QList<QAction*> actions = insertMenu_->actions();
  return index < actions.size() ? actions[index]->menu() : nullptr;
}

QString SnippetViewController::dateEntryTitle(const QString& code, const QDateTime& at) {
  QString title = titleFormat(code);
  title.replace(QLatin1Char('_'), QLatin1Char('\t'));
  title.replace(QStringLiteral("%%"), QStringLiteral("%"));
  title.replace(QStringLiteral("%@"), ql::Utilities::getStringFromDateFormat(code, at));
  return title;
}

void SnippetViewController::setInsertMenu() {
  const QList<QMenu*> old = insertMenu_->findChildren<QMenu*>(Qt::FindDirectChildrenOnly);
  insertMenu_->clear();
  for (QMenu* m : old) m->deleteLater();
  const QDateTime now = QDateTime::currentDateTime();
  auto add = [this](QMenu* menu, const QString& title, const QString& code) {
    QAction* a = menu->addAction(title);
    a->setData(code);
    connect(a, &QAction::triggered, this, [this, code] { insertMenuHandler(code); });
  };
  auto dated = [&](const QString& title, const QList<Entry>& entries) {
    auto* menu = new QMenu(title, insertMenu_);
    for (const Entry& e : entries) {
      if (e.code.isEmpty())
        menu->addSeparator();
      else
        add(menu, dateEntryTitle(e.code, now), e.code);
    }
    insertMenu_->addMenu(menu);
  };
  dated(tr("Date"), dateEntries());
  dated(tr("Time"), timeEntries());
  insertMenu_->addSeparator();
  add(insertMenu_, tr("Clipboard"), ql::codes::kClipboard);
  add(insertMenu_, tr("Fill-In"), kFillCode);
  insertMenu_->addSeparator();
  auto* keys = new QMenu(tr("Key"), insertMenu_);
  add(keys, tr("Enter"), QStringLiteral("{key:enter}"));
  add(keys, tr("Esc"), QStringLiteral("{key:esc}"));
  add(keys, tr("Return"), QStringLiteral("{key:return}"));
  add(keys, tr("Tab"), QStringLiteral("{key:tab}"));
  insertMenu_->addMenu(keys);
  auto* position = new QMenu(tr("Position"), insertMenu_);
  add(position, tr("At Beginning"), QStringLiteral("%cursor:atbegin"));
  add(position, tr("At Cursor"), QStringLiteral("%cursor:atposition"));
  add(position, tr("At End"), QStringLiteral("%cursor:atend"));
  insertMenu_->addMenu(position);
}

void SnippetViewController::insertMenuHandler(const QString& code) {
  if (code.isEmpty() || !snippet_ || ui_->content->isReadOnly()) return;
  QTextCursor caret = ui_->content->textCursor();
  if (code.startsWith(kCursorPrefix)) {
    if (code == QStringLiteral("%cursor:atbegin")) caret.movePosition(QTextCursor::Start);
    if (code == QStringLiteral("%cursor:atend")) caret.movePosition(QTextCursor::End);
    ui_->content->setTextCursor(caret);
    // One marker at most: the old one goes, the caret keeps its place.
    QTextCursor old = ui_->content->document()->find(ql::codes::kCursor);
    if (!old.isNull()) old.removeSelectedText();
    caret = ui_->content->textCursor();
    caret.insertText(ql::codes::kCursor);
    ui_->content->setTextCursor(caret);
    return;
  }
  caret.insertText(code);
  if (code == kFillCode) {
    // Leave "field" selected so the user types the field's name over it.
    const int end = caret.position() - 1;
    caret.setPosition(end - 5);
    caret.setPosition(end, QTextCursor::KeepAnchor);
  }
  ui_->content->setTextCursor(caret);
}

QFont SnippetViewController::preferenceFont(bool formatted) const {
  if (!preferences) return formatted ? QFont() : QFont(QStringLiteral("monospace"));
  const ql::PlistDict& d =
      formatted ? preferences->formattedSnippetFont : preferences->plainSnippetFont;
  QFont font(QLPreferences::fontName(d));
  const double size = QLPreferences::fontSize(d);
  font.setPointSizeF(size > 0 ? size : 12.0);
  return font;
}

void SnippetViewController::setFont(const QFont& font) {
  ui_->content->document()->setDefaultFont(font);
  // As the fill-in form lays the same content out.
  ui_->content->setTabStopDistance(ui_->content->acceptRichText() ? ql::formattedTabDistance()
                                                                  : ql::plainTabDistance(font));
}

void SnippetViewController::setFocus() { ui_->content->setFocus(Qt::OtherFocusReason); }

void SnippetViewController::setRichText(bool rich, bool convert) {
  ui_->content->setAcceptRichText(rich);
  ui_->content->offersImages = rich;
  const QFont font = preferenceFont(rich);
  setFont(font);
  if (convert && !ui_->content->document()->isEmpty()) {
    if (rich) {
      const QString text = ql::readPlainFromDocument(ui_->content->document());
      ql::writeToDocument(ql::AttributedText(text, ql::attributesForFont(font, defaultTabStops())),
                          ui_->content->document());
    } else {
      QString text = ql::readFromDocument(ui_->content->document()).string();
      text.remove(ql::AttributedText::kAttachmentCharacter);
      ql::writePlainToDocument(text, ui_->content->document());
    }
  }
  QTextCharFormat typing;
  if (rich) {
    typing.setFontFamilies(QStringList{font.family()});
    typing.setFontPointSize(font.pointSizeF());
  }
  ui_->content->setCurrentCharFormat(typing);
}

void SnippetViewController::setSnippet(const SnippetPtr& snippet) {
  finishEditing();
  snippet_ = snippet;
  resetView();
}

void SnippetViewController::resetView() {
  isResetting_ = true;
  commitTimer_.stop();
  ui_->label->setPlaceholderText(kEmptyPlaceholder);
  const bool has = bool(snippet_);
  for (QWidget* w : std::initializer_list<QWidget*>{
           ui_->label, ui_->abbreviation, ui_->abbreviationTypeButton, ui_->snippetTypeButton,
           ui_->insertMenuButon, ui_->dateButton, ui_->timeButton, ui_->keysButton, ui_->positionButton, ui_->content})
    w->setEnabled(has);
  try {
    if (!snippet_) {
      ui_->label->clear();
      ui_->abbreviation->clear();
      ui_->content->clear();
      ui_->isConvertToHTMLButton->setEnabled(false);
      ui_->formatMenuButon->setEnabled(false);
    } else {
      ui_->snippetTypeButton->setCurrentIndex(snippet_->snippetType == QLSnippet::Formatted ? 1 : 0);
      ui_->abbreviationTypeButton->setCurrentIndex(qBound(0, snippet_->abbreviationMatchType, 2));
      updateView();
      ui_->label->setText(snippet_->label);
      ui_->abbreviation->setText(snippet_->abbreviation);
      ui_->isConvertToHTMLButton->setChecked(snippet_->isConvertToHTML);
      contentReadable_ = true;
      ui_->content->setReadOnly(false);
      ui_->content->setPlaceholderText(QString());
      QTextDocument* doc = ui_->content->document();
      doc->setUndoRedoEnabled(false);
      if (snippet_->snippetType == QLSnippet::Formatted) {
        ui_->formatMenuButon->setEnabled(true);
        setRichText(true, false);
        const auto text = snippet_->formattedText.isEmpty()
                              ? std::optional<ql::AttributedText>(ql::AttributedText())
                              : ql::readFlatRtfd(snippet_->formattedText);
        if (text) {
          ui_->content->setWordWrapMode(wrapModeFor(text->string()));
          ql::writeToDocument(*text, doc);
        } else {
          // Content this program cannot read stays as it is in the file.
          doc->clear();
          contentReadable_ = false;
          ui_->content->setReadOnly(true);
          ui_->content->setPlaceholderText(
              tr("This formatted content cannot be shown. It is kept unchanged."));
        }
        ui_->isConvertToHTMLButton->setEnabled(true);
      } else {
        ui_->formatMenuButon->setEnabled(false);
        setRichText(false, false);
        ui_->content->setWordWrapMode(wrapModeFor(snippet_->plainText));
        ql::writePlainToDocument(snippet_->plainText, doc);
        ui_->isConvertToHTMLButton->setEnabled(false);
      }
      doc->setUndoRedoEnabled(true);
      QTextCursor start(doc);
      ui_->content->setTextCursor(start);
    }
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("resetView"), QString::fromUtf8(e.what()));
  }
  contentDirty_ = false;
  isContentChanged_ = false;
  isResetting_ = false;
}

void SnippetViewController::updateView() {
  if (!snippet_) {
    ui_->label->setPlaceholderText(kEmptyPlaceholder);
    return;
  }
  QString shown = snippet_->searchableText().left(200);
  shown.replace(QLatin1Char('\n'), QLatin1Char(' '));
  ui_->label->setPlaceholderText(shown.isEmpty() ? kEmptyPlaceholder : shown);
}

void SnippetViewController::textDidChange() {
  if (isResetting_ || !snippet_ || !contentReadable_) return;
  contentDirty_ = true;
  isContentChanged_ = true;
  commitTimer_.start();
}

void SnippetViewController::commitContent() {
  commitTimer_.stop();
  if (!contentDirty_ || !snippet_) return;
  contentDirty_ = false;
  try {
    if (snippet_->snippetType == QLSnippet::Formatted) {
      snippet_->formattedText = ql::writeFlatRtfd(ql::readFromDocument(ui_->content->document()));
      snippet_->plainText = QString();
    } else {
      snippet_->plainText = ql::readPlainFromDocument(ui_->content->document());
      snippet_->formattedText = QByteArray();
    }
    snippet_->content(true);
  } catch (const std::exception& e) {
    ql::logError(QStringLiteral("textDidChange:"), QString::fromUtf8(e.what()));
  }
}

void SnippetViewController::fieldEdited() {
  if (isResetting_ || !snippet_) return;
  snippet_->label = ui_->label->text();
  snippet_->abbreviation = ui_->abbreviation->text();
  isContentChanged_ = true;
}

void SnippetViewController::finishEditing() {
  commitContent();
  if (!isContentChanged_ || !snippet_) return;
  isContentChanged_ = false;
  if (delegate) delegate->SnippetViewControllerDidFinish(this);
}

void SnippetViewController::actionSnippetType(int item) {
  if (!snippet_ || (item != 0 && item != 1) || item == snippet_->snippetType) return;
  if (!contentReadable_) {
    ui_->snippetTypeButton->setCurrentIndex(snippet_->snippetType);
    return;
  }
  commitContent();
  snippet_->snippetType = item;
  const bool rich = item == QLSnippet::Formatted;
  ui_->formatMenuButon->setEnabled(rich);
  setRichText(rich, true);
  contentDirty_ = true;
  isContentChanged_ = true;
  ui_->isConvertToHTMLButton->setEnabled(rich);
  finishEditing();
}

void SnippetViewController::actionAbbreviationType(int item) {
  if (!snippet_) return;
  commitContent();
  if (item >= 0 && item <= 2) snippet_->abbreviationMatchType = item;
  isContentChanged_ = false;
  if (delegate) delegate->SnippetViewControllerDidFinish(this);
}

void SnippetViewController::actionConvertToHTML() {
  if (!snippet_) return;
  commitContent();
  isContentChanged_ = false;
  if (delegate) delegate->SnippetViewControllerDidFinish(this);
}

void SnippetViewController::chooseAndAttachFiles() {
  if (!snippet_ || snippet_->snippetType != QLSnippet::Formatted) return;
  QStringList patterns;
  for (const QByteArray& f : QImageReader::supportedImageFormats())
    patterns << "*." + QString::fromLatin1(f);
  auto* dialog = new QFileDialog(window(), tr("Insert Image"), QString(),
                                 tr("Images (%1)").arg(patterns.join(' ')));
  dialog->setFileMode(QFileDialog::ExistingFile);
  dialog->setWindowModality(Qt::WindowModal);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  connect(dialog, &QFileDialog::filesSelected, this,
          [this](const QStringList& files) { attachFiles(files); });
  dialog->open();
}

int SnippetViewController::attachFiles(const QStringList& paths) {
  if (!snippet_ || snippet_->snippetType != QLSnippet::Formatted || ui_->content->isReadOnly())
    return 0;
  int inserted = 0;
  QString lastError;
  QTextCursor caret = ui_->content->textCursor();
  for (const QString& path : paths) {
    QFile file(path);
    QImageReader reader(path);
    if (!reader.canRead()) {
      lastError = tr("The file \"%1\" could not be inserted: %2")
                      .arg(QFileInfo(path).fileName(), reader.errorString());
      continue;
    }
    if (!file.open(QIODevice::ReadOnly)) {
      lastError = tr("The file \"%1\" could not be inserted: %2")
                      .arg(QFileInfo(path).fileName(), file.errorString());
      continue;
    }
    const ql::TextAttachment attachment{QFileInfo(path).fileName(), file.readAll()};
    QTextCharFormat here = caret.charFormat();
    const ql::TextAttributes attributes = ql::attributesForFont(
        here.font(),
        caret.blockFormat().tabPositions().isEmpty() ? QList<int>() : defaultTabStops());
    ql::insertAttachment(caret, attachment, attributes);
    ++inserted;
  }
  ui_->content->setTextCursor(caret);
  const int failed = int(paths.size()) - inserted;
  if (failed == 1) {
    showError(lastError, QString());
  } else if (failed > 1) {
    showError(inserted == 0 ? tr("None of the images could be inserted.")
                            : tr("Some of the images could not be inserted."),
              tr("The images may be unreadable, or the volume they are on may be "
                             "inaccessible. Please check in Finder."));
  }
  return inserted;
}
