#include "content/fill_in_form.h"

#include "content/text/flat_rtfd.h"

namespace ql {

QString FormField::name() const {
  const int prefix = int(codes::kFillStart.size());
  return key.size() > prefix ? key.mid(prefix, key.size() - prefix - 1) : QString();
}

QString FormField::title() const {
  // Each word's first letter upper case, the rest lower case.
  QString words = name().toLower();
  bool startOfWord = true;
  for (qsizetype i = 0; i < words.size(); ++i) {
    const QChar c = words[i];
    if (c.isLetterOrNumber()) {
      if (startOfWord) words[i] = c.toTitleCase();
      startOfWord = false;
    } else {
      startOfWord = true;
    }
  }
  return words + QStringLiteral(" :");
}

void FillInForm::loadPreview() {
  if (data.isRtfd) {
    auto read = readFlatRtfd(data.rtfd);
    preview_ = read ? *read : AttributedText();
  } else {
    preview_ = AttributedText(data.text);
  }
}

void FillInForm::showKeyCodes() {
  for (const CodeOccurrence& k : keys) {
    const int at = preview_.indexOf(k.tag, 0, Qt::CaseSensitive);
    if (at >= 0) preview_.replace(at, int(k.tag.size()), codes::previewTextFor(k.tag));
  }
}

void FillInForm::resetView() {
  loadPreview();
  showKeyCodes();
  formFields.clear();
  for (const CodeOccurrence& f : fills) {
    const QString key = f.tag.toLower();
    const bool known = std::any_of(formFields.cbegin(), formFields.cend(),
                                   [&](const FormField& field) { return field.key == key; });
    if (known) continue;
    FormField field{key, f.tag, QString()};
    // The entry starts out holding the field's name.
    field.value = field.name();
    formFields.append(field);
  }
  highlightLocation_ = highlightLength_ = 0;
}

void FillInForm::setFieldValue(int index, const QString& text) {
  if (index >= 0 && index < formFields.size()) formFields[index].value = text;
}

void FillInForm::updateText(bool showKeys, bool replaceEmpty, bool highlight, int selectedField) {
  loadPreview();
  if (showKeys) showKeyCodes();
  highlightLocation_ = highlightLength_ = 0;
  for (int i = 0; i < formFields.size(); ++i) {
    const FormField& field = formFields[i];
    if (field.value.isEmpty() && !replaceEmpty) continue;
    // Go on after each inserted value, so a value holding its own code
    // cannot be replaced again.
    int from = 0;
    for (;;) {
      const int at = preview_.indexOf(field.tag, from, Qt::CaseSensitive);
      if (at < 0) break;
      preview_.replace(at, int(field.tag.size()), field.value);
      from = at + int(field.value.size());
      if (highlight && i == selectedField) {
        highlightLocation_ = at;
        highlightLength_ = int(field.value.size());
      }
    }
  }
}

void FillInForm::updateData() {
  updateText(false, true, false);
  data = data.isRtfd ? SnippetContent::fromRtfd(writeFlatRtfd(preview_))
                     : SnippetContent::fromText(preview_.string());
}

int FillInForm::confirm() {
  updateText(true, true, false);
  const int length = preview_.length();
  updateData();
  return length;
}

}  // namespace ql
