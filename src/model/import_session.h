#pragma once

#include "model/ql_settings.h"

#include <QCoreApplication>
#include <QString>

#include <functional>
#include <memory>

namespace ql {

// The check and the merge behind the import window: reads a file into a
// library of its own, counts what it found, what collides with the live
// library and what a merge would bring, and merges on request. Free of
// widgets; the window shows the counts, the message and the progress.
class ImportSession {
 public:
  enum Kind { Quillet = 0, TextExpander = 1, Windows = 2 };
  // What to do with a group or snippet the library already has.
  enum DuplicateOption { Skip = 0, AddNew = 1, Overwrite = 2 };

  // A message of the import, put in the user's language where it is shown
  // (the translation is installed only after these constants exist).
  struct Message {
    const char* source;
    operator QString() const { return QCoreApplication::translate("ImportSession", source); }
  };
  static constexpr Message kTitle{QT_TRANSLATE_NOOP("ImportSession", "Import Groups and Snippets :")};
  static constexpr Message kSelectFile{QT_TRANSLATE_NOOP("ImportSession", "Please select import file!")};
  static constexpr Message kValidating{QT_TRANSLATE_NOOP("ImportSession", "Validating Import File...")};
  static constexpr Message kValidated{QT_TRANSLATE_NOOP("ImportSession", "File validated.")};
  static constexpr Message kInvalid{QT_TRANSLATE_NOOP("ImportSession", "Invalid format or empty file!")};
  static constexpr Message kImporting{QT_TRANSLATE_NOOP("ImportSession", "Import File...")};
  static constexpr Message kCompleted{QT_TRANSLATE_NOOP("ImportSession", "Process Completed.")};
  static constexpr Message kUnableToImport{
      QT_TRANSLATE_NOOP("ImportSession", "Unable to import groups and snippets!\r\nPlease try again or later.")};

  // settings is the live library; it must outlive the session.
  explicit ImportSession(QLSettings* settings = nullptr) : settings(settings) {}

  QLSettings* settings = nullptr;
  int importType = Quillet;
  int groupOption = Skip;
  int snippetOption = Skip;
  bool convertCodes = false;
  QString path;

  std::unique_ptr<QLSettings> importedSettings;
  qint64 foundGroup = 0;
  qint64 foundSnippet = 0;
  qint64 duplicateGroup = 0;
  qint64 duplicateSnippet = 0;
  qint64 importedGroup = 0;
  qint64 importedSnippet = 0;
  QString message;

  // Called with each new message.
  std::function<void(const QString&)> onMessage;
  // Called while a file is read: records read so far and the total, or -1
  // while the total is not known. Events may be processed here; cancel()
  // then stops the check.
  std::function<void(qint64 read, qint64 total)> onProgress;

  // Reads path with the reader of importType, counts what it found and the
  // duplicates, and runs a trial merge on a copy of the live library to fill
  // the imported counts. Returns whether the file could be read.
  bool validateImport();
  // Library groups whose name, and snippets whose abbreviation, the file
  // also has.
  void getDuplicateCounts();
  // Merges the file's groups and their snippets into target by the duplicate
  // options and adds to the imported counts. Returns whether this merge
  // created or overwrote anything.
  bool import(QLSettings* target);

  // Stops a check that is reading; it ends without a file.
  void cancel() { cancelled_ = true; }
  bool isImporting() const { return importing_; }
  // Zeroes the six counts.
  void resetCounts();

 private:
  void setMessage(const QString& text);
  bool readFile(QLSettings& into);

  bool importing_ = false;
  bool cancelled_ = false;
};

// A copy of a library whose records are copies too.
std::unique_ptr<QLSettings> deepCopy(const QLSettings& library);

}  // namespace ql
