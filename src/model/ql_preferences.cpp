#include "model/ql_preferences.h"

#include "model/record_fields.h"
#include "model/string_utilities.h"

#include <QFileInfo>

using namespace ql;

namespace {
const QString kFontName = QStringLiteral("NSFontNameAttribute");
const QString kFontSize = QStringLiteral("NSFontSizeAttribute");

struct DesktopFont {
  QString name = QStringLiteral("Lucida Grande");
  double pointSize = 12.0;
};
DesktopFont& desktopFont() {
  static DesktopFont font;
  return font;
}
}  // namespace

void QLPreferences::setDesktopFont(const QString& name, double pointSize) {
  if (name.isEmpty()) return;
  desktopFont() = {name, pointSize > 0 ? pointSize : 12.0};
}

PlistDict QLPreferences::defaultSnippetFont() {
  return fontDictionary(desktopFont().name, desktopFont().pointSize);
}

QLPreferences::QLPreferences()
    : delimiters{QStringLiteral("space"), QStringLiteral("enter"), QStringLiteral("return"),
                 QStringLiteral("tab")},
      plainSnippetFont(defaultSnippetFont()),
      formattedSnippetFont(defaultSnippetFont()),
      backupFolderPath(defaultBackupFolderPath()) {}

QString QLPreferences::defaultBackupFolderPath() {
  return Utilities::getAppPath() + QStringLiteral("/Backups");
}

PlistDict QLPreferences::fontDictionary(const QString& name, double pointSize) {
  PlistDict d;
  d.insert(kFontName, name);
  d.insert(kFontSize, pointSize);
  return d;
}

QString QLPreferences::fontName(const PlistDict& font) {
  auto v = font.value(kFontName);
  return v && v->string() ? *v->string() : QString();
}

double QLPreferences::fontSize(const PlistDict& font) {
  auto v = font.value(kFontSize);
  return v ? v->toReal().value_or(0.0) : 0.0;
}

const QStringList& QLPreferences::delimiterVocabulary() {
  static const QStringList tokens = {
      QStringLiteral("space"), QStringLiteral("return"), QStringLiteral("enter"),
      QStringLiteral("tab"),   QStringLiteral("esc"),    QStringLiteral("."),
      QStringLiteral("!"),     QStringLiteral("?"),      QStringLiteral(","),
      QStringLiteral(";"),     QStringLiteral(":"),      QStringLiteral("-"),
      QStringLiteral("\""),    QStringLiteral("'"),      QStringLiteral("("),
      QStringLiteral(")"),     QStringLiteral("{"),      QStringLiteral("}"),
      QStringLiteral("["),     QStringLiteral("]"),      QStringLiteral("/"),
      QStringLiteral("\\"),    QStringLiteral("&"),      QStringLiteral("+"),
      QStringLiteral("*"),     QStringLiteral("="),      QStringLiteral("<"),
      QStringLiteral(">"),     QString(QChar(0x00AB)),   QString(QChar(0x00BB)),
      QStringLiteral("%"),     QStringLiteral("^"),      QStringLiteral("#"),
      QStringLiteral("_"),     QStringLiteral("@"),      QStringLiteral("$"),
      QStringLiteral("`"),     QStringLiteral("|"),      QStringLiteral("~")};
  return tokens;
}

int QLPreferences::delimiterKeyCode(const QString& token) {
  if (token == QLatin1String("space")) return 49;
  if (token == QLatin1String("enter")) return 36;
  if (token == QLatin1String("return")) return 76;
  if (token == QLatin1String("tab")) return 48;
  if (token == QLatin1String("esc")) return 53;
  return -1;
}

QStringList QLPreferences::delimitersFromText(const QString& text) {
  QStringList result;
  for (QString token : text.split(QLatin1Char(','))) {
    token = token.trimmed();
    if (token == QLatin1String("comma")) token = QStringLiteral(",");
    if (delimiterVocabulary().contains(token) && !result.contains(token)) result.append(token);
  }
  return result;
}

PlistDict QLPreferences::getData() const {
  PlistDict d;
  d.insert(QStringLiteral("isExtendAbbreviation"), isExtendAbbreviation);
  d.insert(QStringLiteral("extendType"), extendType);
  d.insert(QStringLiteral("extendAfter"), extendAfter);
  d.insert(QStringLiteral("delimiters"), fields::toArray(delimiters));
  d.insert(QStringLiteral("isPlaySound"), isPlaySound);
  d.insert(QStringLiteral("sound"), sound);
  d.insert(QStringLiteral("isRestoreClipboard"), isRestoreClipboard);
  d.insert(QStringLiteral("snippetFormatType"), snippetFormatType);
  d.insert(QStringLiteral("abbreviationCaseType"), abbreviationCaseType);
  d.insert(QStringLiteral("exceptionType"), exceptionType);
  d.insert(QStringLiteral("exceptions"), fields::toArray(exceptions));
  d.insert(QStringLiteral("isShowStatusBarIcon"), isShowStatusBarIcon);
  d.insert(QStringLiteral("isShowDockIcon"), isShowDockIcon);
  d.insert(QStringLiteral("isLaunchAtLogin"), isLaunchAtLogin);
  d.insert(QStringLiteral("plainSnippetFont"), plainSnippetFont);
  d.insert(QStringLiteral("formattedSnippetFont"), formattedSnippetFont);
  d.insert(QStringLiteral("isAutomaticBackup"), isAutomaticBackup);
  d.insert(QStringLiteral("backupType"), backupType);
  d.insert(QStringLiteral("backupFolderPath"), backupFolderPath);
  d.insert(QStringLiteral("maximumBackups"), maximumBackups);
  d.insert(QStringLiteral("characterSaved"), characterSaved);
  d.insert(QStringLiteral("wordPerMinute"), wordPerMinute);
  d.insert(QStringLiteral("snippetProcessDelay"), snippetProcessDelay);
  d.insert(QStringLiteral("restoreClipboardDelay"), restoreClipboardDelay);
  d.insert(QStringLiteral("suggestionHotkey"), suggestionHotkey);
  d.insert(QStringLiteral("openQuilletHotKey"), openQuilletHotKey);
  d.insert(QStringLiteral("enableDisabledQuilletHotKey"), enableDisabledQuilletHotKey);
  d.insert(QStringLiteral("newSnippetHotKey"), newSnippetHotKey);
  d.insert(QStringLiteral("newSnippetFromSelectionHotKey"), newSnippetFromSelectionHotKey);
  d.insert(QStringLiteral("newSnippetFromClipboardHotKey"), newSnippetFromClipboardHotKey);
  d.insert(QStringLiteral("newSnippetFromApplicationHotKey"), newSnippetFromApplicationHotKey);
  // Written only when set, so files without it stay as they were.
  if (!searchSnippetHotKey.isEmpty()) d.insert(QStringLiteral("searchSnippetHotKey"), searchSnippetHotKey);
  if (!isBackSpaceUndo) d.insert(QStringLiteral("isBackSpaceUndo"), false);
  return d;
}

void QLPreferences::setData(const PlistDict* dict) {
  if (!dict) return;
  const PlistDict& d = *dict;
  fields::read(d, "isExtendAbbreviation", isExtendAbbreviation);
  fields::read(d, "extendType", extendType);
  fields::read(d, "extendAfter", extendAfter);
  fields::read(d, "delimiters", delimiters);
  fields::read(d, "isPlaySound", isPlaySound);
  fields::read(d, "sound", sound);
  fields::read(d, "isRestoreClipboard", isRestoreClipboard);
  fields::read(d, "snippetFormatType", snippetFormatType);
  fields::read(d, "abbreviationCaseType", abbreviationCaseType);
  fields::read(d, "exceptionType", exceptionType);
  fields::read(d, "exceptions", exceptions);
  fields::read(d, "isShowStatusBarIcon", isShowStatusBarIcon);
  fields::read(d, "isShowDockIcon", isShowDockIcon);
  fields::read(d, "isLaunchAtLogin", isLaunchAtLogin);
  fields::read(d, "plainSnippetFont", plainSnippetFont);
  fields::read(d, "formattedSnippetFont", formattedSnippetFont);
  fields::read(d, "isAutomaticBackup", isAutomaticBackup);
  fields::read(d, "backupType", backupType);
  fields::read(d, "backupFolderPath", backupFolderPath);
  fields::read(d, "maximumBackups", maximumBackups);
  fields::read(d, "characterSaved", characterSaved);
  fields::read(d, "wordPerMinute", wordPerMinute);
  fields::read(d, "snippetProcessDelay", snippetProcessDelay);
  fields::read(d, "restoreClipboardDelay", restoreClipboardDelay);
  fields::read(d, "suggestionHotkey", suggestionHotkey);
  fields::read(d, "openQuilletHotKey", openQuilletHotKey);
  fields::read(d, "enableDisabledQuilletHotKey", enableDisabledQuilletHotKey);
  fields::read(d, "newSnippetHotKey", newSnippetHotKey);
  fields::read(d, "newSnippetFromSelectionHotKey", newSnippetFromSelectionHotKey);
  fields::read(d, "newSnippetFromClipboardHotKey", newSnippetFromClipboardHotKey);
  fields::read(d, "newSnippetFromApplicationHotKey", newSnippetFromApplicationHotKey);
  fields::read(d, "searchSnippetHotKey", searchSnippetHotKey);
  fields::read(d, "isBackSpaceUndo", isBackSpaceUndo);
  // A library moved to another machine or user falls back to the default folder.
  if (backupFolderPath.isEmpty() || !QFileInfo::exists(backupFolderPath))
    backupFolderPath = defaultBackupFolderPath();
}
