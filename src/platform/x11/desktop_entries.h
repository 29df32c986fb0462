#pragma once

#include "platform/workspace.h"

#include <QList>
#include <QStringList>

#include <optional>

namespace ql {

// A window open now, by the names its owner gives it.
struct RunningApplication {
  QString windowClass;  // WM_CLASS class: the name application rules compare
  QString instance;     // WM_CLASS instance
  QString executable;   // the base name of the owner's program; may be empty
};

// The [Desktop Entry] group of one desktop file, as far as the picker needs it.
struct DesktopEntry {
  QString name;            // Name in the user's language, else Name
  QString untranslatedName;
  bool isQt = false;       // Categories names Qt or KDE
  QString executable;      // base name of Exec's program
  QString startupWMClass;  // may be empty
  QString icon;
};

// Reads one desktop file. None for a file that is no shown application:
// unreadable, Type other than Application, NoDisplay or Hidden, no Name.
// locales: the Name[...] keys to try, best first (see localeKeys).
std::optional<DesktopEntry> readDesktopEntry(const QString& path, const QStringList& locales);

// The Name[...] keys of a locale name such as "de_DE.UTF-8@euro", best
// first: de_DE@euro, de_DE, de@euro, de.
QStringList localeKeys(const QString& locale);
// The locale of messages, from LC_ALL, LC_MESSAGES or LANG.
QString messagesLocale();

// The WM_CLASS class a program gets from its toolkit when it names none
// itself: GTK and Qt both use the program's name with its first letter
// capitalised ("gedit" -> "Gedit").
QString toolkitWindowClass(const QString& executable);
// The class a desktop entry's program will most likely report: a Qt
// program whose Name is its program's name in other letter case usually
// set that Name as its application name ("FeatherPad"), which Qt reports;
// any other gets the toolkit's default.
QString expectedWindowClass(const DesktopEntry& entry);

// The applications folders of XDG_DATA_HOME and XDG_DATA_DIRS, user's first.
QStringList applicationFolders();

// The catalogue of applications the user can name in a rule: one entry per
// shown desktop entry of folders (an entry id found in an earlier folder
// hides later ones), then every running application that has none. Each is
// named as the workspace will report its windows: StartupWMClass, else the
// class of a running window of the same program, else the toolkit's
// default for its program. Entries that come to the same name are listed
// once (the first wins). displayName is the entry's localized Name.
QList<InstalledApplication> applicationCatalogue(const QStringList& folders,
                                                 const QList<RunningApplication>& running,
                                                 const QStringList& locales);

// The catalogue of the user's XDG folders and language.
QList<InstalledApplication> desktopApplications(const QList<RunningApplication>& running = {});

}  // namespace ql
