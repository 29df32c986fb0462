#pragma once

#include "model/plist.h"

#include <QStringList>

// Every user setting of the program, stored with the library.
class QLPreferences {
 public:
  // When matching happens (extendType).
  enum ExtendType { Immediate = 0, DelimiterRetyped = 1, DelimiterDropped = 2 };
  // Backup interval (backupType).
  enum BackupType { Hourly = 0, Daily = 1, Weekly = 2, Monthly = 3 };

  QLPreferences();

  bool isExtendAbbreviation = true;
  int extendType = Immediate;
  int extendAfter = 0;
  QStringList delimiters;
  bool isPlaySound = true;
  QString sound = QStringLiteral("Basso");
  bool isRestoreClipboard = true;
  // A BackSpace right after an expansion takes it back.
  bool isBackSpaceUndo = true;
  int snippetFormatType = 0;
  int abbreviationCaseType = 0;
  int exceptionType = 1;
  QStringList exceptions;
  bool isShowStatusBarIcon = true;
  bool isShowDockIcon = false;
  bool isLaunchAtLogin = false;
  ql::PlistDict plainSnippetFont;
  ql::PlistDict formattedSnippetFont;
  bool isAutomaticBackup = true;
  int backupType = Daily;
  QString backupFolderPath;
  QString maximumBackups = QStringLiteral("10");
  qint64 characterSaved = 0;
  qint64 wordPerMinute = 40;
  double snippetProcessDelay = 0.1;
  double restoreClipboardDelay = 0.1;
  ql::PlistDict suggestionHotkey;
  ql::PlistDict openQuilletHotKey;
  ql::PlistDict enableDisabledQuilletHotKey;
  ql::PlistDict newSnippetHotKey;
  ql::PlistDict newSnippetFromSelectionHotKey;
  ql::PlistDict newSnippetFromClipboardHotKey;
  ql::PlistDict newSnippetFromApplicationHotKey;
  // Opens the search window; empty (or absent from the file) means none.
  ql::PlistDict searchSnippetHotKey;

  ql::PlistDict getData() const;
  void setData(const ql::PlistDict* dict);

  // The delimiter tokens the preferences offer, in their order.
  static const QStringList& delimiterVocabulary();
  // Virtual key code of a named token ("space" 49, ...), or -1 for a token
  // that stands for the character it names.
  static int delimiterKeyCode(const QString& token);
  // Builds the delimiter list from its comma-separated form, where the comma
  // itself is written "comma": tokens outside the vocabulary and repeats are left out.
  static QStringList delimitersFromText(const QString& text);

  // Font dictionaries keep the name and size under the font-descriptor keys.
  static ql::PlistDict fontDictionary(const QString& name, double pointSize);
  // The font new preferences start with for both snippet fonts: the
  // desktop's general font, told by the program once it has a display;
  // until then "Lucida Grande" at 12 points, as the settings file has always had.
  static void setDesktopFont(const QString& name, double pointSize);
  static ql::PlistDict defaultSnippetFont();
  static QString fontName(const ql::PlistDict& font);
  static double fontSize(const ql::PlistDict& font);

  // The "Backups" folder of the application folder.
  static QString defaultBackupFolderPath();
};
