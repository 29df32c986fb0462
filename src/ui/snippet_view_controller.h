#pragma once

#include "model/ql_preferences.h"
#include "model/ql_snippet.h"
#include "ui/snippet_view_controller_delegate.h"

#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

class ContentTextView;
class CustomButton;
class QLineEdit;
class QMenu;
class QTextCharFormat;

namespace Ui {
class SnippetView;
}  // namespace Ui

// The snippet editor: label, abbreviation, match type, content type, the
// convert-to-HTML flag and the content. Field edits go into the snippet at
// once; content edits go in shortly after typing pauses and always before
// an edit is reported finished, so the last edit is never lost.
class SnippetViewController final : public QWidget {
  Q_OBJECT

 public:
  explicit SnippetViewController(QWidget* parent = nullptr);
  ~SnippetViewController() override;

  SnippetViewControllerDelegate* delegate = nullptr;
  // The fonts of new and converted content; none: the desktop's fonts.
  const QLPreferences* preferences = nullptr;
  // Error alerts (a critical message box on the window; tests replace it).
  std::function<void(const QString& message, const QString& details)> showError;

  // Finishes the edit of the previous snippet, then loads this one.
  void setSnippet(const SnippetPtr& snippet);
  const SnippetPtr& snippet() const { return snippet_; }
  void resetView();
  void updateView();
  void setFocus();
  void setFont(const QFont& font);

  // Writes pending content into the snippet and, after any change since
  // the last report, reports the edit finished.
  void finishEditing();
  bool isContentChanged() const { return isContentChanged_; }

  // The insert menu, rebuilt each time it opens.
  void setInsertMenu();
  QMenu* insertMenu() const { return insertMenu_; }
  QMenu* formatMenu() const { return formatMenu_; }
  void insertMenuHandler(const QString& code);

  void actionSnippetType(int item);
  void actionAbbreviationType(int item);
  void actionConvertToHTML();

  // Opens a file dialog for an image, then attachFiles.
  void chooseAndAttachFiles();
  // Inserts the readable image files at the selection; reports the others.
  int attachFiles(const QStringList& paths);

  ContentTextView* contentView() const;
  QLineEdit* abbreviationTextField() const;
  // The Date, Time, Key and Position buttons, which open their part of the
  // insert menu when clicked or when the pointer rests on them.
  const QList<CustomButton*>& submenuButtons() const { return submenuButtons_; }
  void actionButtonHover(CustomButton* button);

  // The date and time entries' titles, from their formats.
  static QString dateEntryTitle(const QString& code, const QDateTime& at);

 private:
  void buildForm();
  void buildFormatMenu();
  QMenu* submenu(int index) const;
  void openSubmenu(CustomButton* button);
  void menuDidClose();
  void setRichText(bool rich, bool convert);
  void textDidChange();
  void commitContent();
  void fieldEdited();
  QFont preferenceFont(bool formatted) const;
  void applyFormat(const std::function<void(QTextCharFormat&)>& change);

  SnippetPtr snippet_;
  bool isResetting_ = false;
  bool isContentChanged_ = false;
  bool contentDirty_ = false;
  bool contentReadable_ = true;
  QTimer commitTimer_;

  std::unique_ptr<Ui::SnippetView> ui_;
  QList<CustomButton*> submenuButtons_;
  QMenu* insertMenu_ = nullptr;
  QMenu* formatMenu_ = nullptr;
};
