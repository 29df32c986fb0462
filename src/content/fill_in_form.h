#pragma once

#include "content/content_types.h"
#include "content/text/attributed_text.h"

#include <QList>

#include <memory>

class QLSnippet;

namespace ql {

// One entry of the fill-in form.
struct FormField {
  QString key;    // the code in lower case; identifies the field
  QString tag;    // the code as first written in the content
  QString value;  // the entry's text as last copied in

  // The field's name: the key without "{fill:" and "}".
  QString name() const;
  // The entry's title: the name with each word capitalised, then " :".
  QString title() const;
};

// The fill-in form without its window: the fields, the preview and the
// filled-in content. The window only copies entry texts in and shows the
// preview.
class FillInForm {
 public:
  SnippetContent data;
  QList<CodeOccurrence> keys;
  QList<CodeOccurrence> fills;
  QString delimiter;
  std::shared_ptr<QLSnippet> snippet;
  QList<FormField> formFields;

  // Shows the content with key codes as the characters they type and builds
  // one field per distinct code, in order of first appearance, each holding
  // its own name as initial text.
  void resetView();

  // Copies entry i's text into its field.
  void setFieldValue(int index, const QString& text);

  // Redraws the preview from data: key codes shown as characters (showKeys),
  // field codes replaced by their values, empty ones too when replaceEmpty.
  // With highlight, the range of the last value inserted for the field
  // selectedField is kept in highlightedRange().
  void updateText(bool showKeys, bool replaceEmpty, bool highlight, int selectedField = -1);

  // Writes the filled-in content into data, key codes kept.
  void updateData();

  // What OK does: the preview's length with key codes shown and every code
  // replaced, then the filled-in content in data. Returns that length.
  int confirm();

  const AttributedText& preview() const { return preview_; }
  bool previewIsRich() const { return data.isRtfd; }
  int highlightLocation() const { return highlightLocation_; }
  int highlightLength() const { return highlightLength_; }
  // Height in points the entry column takes: 26 per fill-in code, minus 1.
  int formHeight() const { return 26 * int(fills.size()) - 1; }

 private:
  void loadPreview();
  void showKeyCodes();

  AttributedText preview_;
  int highlightLocation_ = 0;
  int highlightLength_ = 0;
};

}  // namespace ql
