<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AppSelectionListModel</name>
    <message>
        <source>No installed application has this name</source>
        <translation>Keine installierte Anwendung hat diesen Namen</translation>
    </message>
</context>
<context>
    <name>ContentTextView</name>
    <message>
        <source>Insert Image</source>
        <translation>Bild einfügen</translation>
    </message>
</context>
<context>
    <name>ImportSession</name>
    <message>
        <source>Import Groups and Snippets :</source>
        <translation>Gruppen und Textbausteine importieren:</translation>
    </message>
    <message>
        <source>Please select import file!</source>
        <translation>Bitte wählen Sie eine Importdatei aus!</translation>
    </message>
    <message>
        <source>Validating Import File...</source>
        <translation>Importdatei wird geprüft...</translation>
    </message>
    <message>
        <source>File validated.</source>
        <translation>Datei geprüft.</translation>
    </message>
    <message>
        <source>Invalid format or empty file!</source>
        <translation>Ungültiges Format oder leere Datei!</translation>
    </message>
    <message>
        <source>Import File...</source>
        <translation>Datei wird importiert...</translation>
    </message>
    <message>
        <source>Process Completed.</source>
        <translation>Vorgang abgeschlossen.</translation>
    </message>
    <message>
        <source>Unable to import groups and snippets!<byte value="xd"/>
Please try again or later.</source>
        <translation>Gruppen und Textbausteine konnten nicht importiert werden!<byte value="xd"/>
Bitte versuchen Sie es erneut oder später.</translation>
    </message>
</context>
<context>
    <name>ImportWindowController</name>
    <message>
        <source>Import Groups and Snippets</source>
        <translation>Gruppen und Textbausteine importieren</translation>
    </message>
    <message>
        <source>Import from:</source>
        <translation>Importieren aus:</translation>
    </message>
    <message>
        <source>No file chosen</source>
        <translation>Keine Datei ausgewählt</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Auswählen…</translation>
    </message>
    <message>
        <source>Convert TextExpander codes to Quillet codes</source>
        <translation>TextExpander-Codes in Quillet-Codes umwandeln</translation>
    </message>
    <message>
        <source>Duplicate groups</source>
        <translation>Doppelte Gruppen</translation>
    </message>
    <message>
        <source>Duplicate snippets</source>
        <translation>Doppelte Textbausteine</translation>
    </message>
    <message>
        <source>Groups</source>
        <translation>Gruppen</translation>
    </message>
    <message>
        <source>Snippets</source>
        <translation>Textbausteine</translation>
    </message>
    <message>
        <source>Found</source>
        <translation>Gefunden</translation>
    </message>
    <message>
        <source>Duplicates</source>
        <translation>Doppelt</translation>
    </message>
    <message>
        <source>Imported</source>
        <translation>Importiert</translation>
    </message>
    <message>
        <source>Validate</source>
        <translation>Prüfen</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>Datei:</translation>
    </message>
    <message>
        <source>Validate the file again to convert its codes.</source>
        <translation>Prüfen Sie die Datei erneut, um ihre Codes umzuwandeln.</translation>
    </message>
    <message>
        <source>%1 files (*.%2)</source>
        <translation>%1-Dateien (*.%2)</translation>
    </message>
    <message>
        <source>The file does not exist.</source>
        <translation>Die Datei existiert nicht.</translation>
    </message>
    <message>
        <source>This is a folder, not a file.</source>
        <translation>Dies ist ein Ordner, keine Datei.</translation>
    </message>
    <message>
        <source>The file is empty.</source>
        <translation>Die Datei ist leer.</translation>
    </message>
    <message>
        <source>The file is larger than %1 MB; no library is that large.</source>
        <translation>Die Datei ist größer als %1 MB; so groß ist keine Bibliothek.</translation>
    </message>
    <message>
        <source>You are not allowed to read this file.</source>
        <translation>Sie dürfen diese Datei nicht lesen.</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Validation cancelled.</source>
        <translation>Prüfung abgebrochen.</translation>
    </message>
    <message>
        <source>The groups and snippets were imported but the library could not be saved.
It is saved again with the next change.</source>
        <translation>Die Gruppen und Textbausteine wurden importiert, aber die Bibliothek konnte nicht gespeichert werden.
Sie wird bei der nächsten Änderung erneut gespeichert.</translation>
    </message>
</context>
<context>
    <name>LibraryOutlineModel</name>
    <message>
        <source>Empty</source>
        <translation>Leer</translation>
    </message>
</context>
<context>
    <name>PreferencesSheetController</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Expand abbreviations</source>
        <translation>Kürzel ersetzen</translation>
    </message>
    <message>
        <source>At once, after the last character</source>
        <translation>Sofort nach dem letzten Zeichen</translation>
    </message>
    <message>
        <source>After a delimiter, typed again</source>
        <translation>Nach einem Trennzeichen, das erhalten bleibt</translation>
    </message>
    <message>
        <source>After a delimiter, dropped</source>
        <translation>Nach einem Trennzeichen, das entfällt</translation>
    </message>
    <message>
        <source>Only after a space</source>
        <translation>Nur nach einem Leerzeichen</translation>
    </message>
    <message>
        <source>After any non-alphanumeric character</source>
        <translation>Nach jedem Zeichen außer Buchstaben und Ziffern</translation>
    </message>
    <message>
        <source>Anywhere</source>
        <translation>Überall</translation>
    </message>
    <message>
        <source>Delimiters…</source>
        <translation>Trennzeichen…</translation>
    </message>
    <message>
        <source>Play a sound after expanding</source>
        <translation>Nach dem Ersetzen einen Ton abspielen</translation>
    </message>
    <message>
        <source>Restore the clipboard after expanding</source>
        <translation>Nach dem Ersetzen die Zwischenablage wiederherstellen</translation>
    </message>
    <message>
        <source>BackSpace undoes an expansion</source>
        <translation>Rücktaste macht eine Ersetzung rückgängig</translation>
    </message>
    <message>
        <source>Plain text</source>
        <translation>Reiner Text</translation>
    </message>
    <message>
        <source>Formatted text</source>
        <translation>Formatierter Text</translation>
    </message>
    <message>
        <source>Case-sensitive</source>
        <translation>Groß-/Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>Ignore case</source>
        <translation>Groß-/Kleinschreibung ignorieren</translation>
    </message>
    <message>
        <source>Adapt to the case typed</source>
        <translation>An die getippte Schreibweise anpassen</translation>
    </message>
    <message>
        <source>Expand in all applications</source>
        <translation>In allen Anwendungen ersetzen</translation>
    </message>
    <message>
        <source>Expand in all applications except…</source>
        <translation>In allen Anwendungen ersetzen außer…</translation>
    </message>
    <message>
        <source>Expand in only these applications…</source>
        <translation>Nur in diesen Anwendungen ersetzen…</translation>
    </message>
    <message>
        <source>Expand:</source>
        <translation>Ersetzen:</translation>
    </message>
    <message>
        <source>Abbreviations expand:</source>
        <translation>Kürzel werden ersetzt:</translation>
    </message>
    <message>
        <source>New snippets are:</source>
        <translation>Neue Textbausteine:</translation>
    </message>
    <message>
        <source>New abbreviations are:</source>
        <translation>Neue Kürzel:</translation>
    </message>
    <message>
        <source>Applications:</source>
        <translation>Anwendungen:</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Show the icon in the system tray</source>
        <translation>Symbol im Infobereich der Kontrollleiste anzeigen</translation>
    </message>
    <message>
        <source>Hide the library window from the taskbar</source>
        <translation>Bibliotheksfenster nicht in der Taskleiste zeigen</translation>
    </message>
    <message>
        <source>Start Quillet when I log in</source>
        <translation>Quillet bei der Anmeldung starten</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Auswählen…</translation>
    </message>
    <message>
        <source>Plain snippet font:</source>
        <translation>Schrift für reinen Text:</translation>
    </message>
    <message>
        <source>Formatted snippet font:</source>
        <translation>Schrift für formatierten Text:</translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation>Darstellung</translation>
    </message>
    <message>
        <source>Back up the library automatically</source>
        <translation>Bibliothek automatisch sichern</translation>
    </message>
    <message>
        <source>Every hour</source>
        <translation>Stündlich</translation>
    </message>
    <message>
        <source>Every day</source>
        <translation>Täglich</translation>
    </message>
    <message>
        <source>Every week</source>
        <translation>Wöchentlich</translation>
    </message>
    <message>
        <source>Every month</source>
        <translation>Monatlich</translation>
    </message>
    <message>
        <source>Back up:</source>
        <translation>Sichern:</translation>
    </message>
    <message>
        <source>Backup folder:</source>
        <translation>Sicherungsordner:</translation>
    </message>
    <message>
        <source>Backups to keep:</source>
        <translation>Sicherungen behalten:</translation>
    </message>
    <message>
        <source>Default</source>
        <translation>Standard</translation>
    </message>
    <message>
        <source>Keep the library in Quillet&apos;s own folder</source>
        <translation>Bibliothek in Quillets eigenem Ordner ablegen</translation>
    </message>
    <message>
        <source>In a synced folder, the library follows changes made on another computer.</source>
        <translation>Im Sync-Ordner übernimmt sie Änderungen anderer Rechner.</translation>
    </message>
    <message>
        <source>Library folder:</source>
        <translation>Bibliotheksordner:</translation>
    </message>
    <message>
        <source>Backup</source>
        <translation>Sicherung</translation>
    </message>
    <message>
        <source>On Wayland no program may take keys for itself. Bind these commands to keys in your desktop&apos;s keyboard settings:</source>
        <translation>Unter Wayland darf kein Programm Tasten für sich beanspruchen. Legen Sie diese Befehle in den Tastatureinstellungen Ihrer Arbeitsumgebung auf Tasten:</translation>
    </message>
    <message>
        <source>Show suggestions:</source>
        <translation>Vorschläge zeigen:</translation>
    </message>
    <message>
        <source>Open the library:</source>
        <translation>Bibliothek öffnen:</translation>
    </message>
    <message>
        <source>Expansion on or off:</source>
        <translation>Ersetzen ein/aus:</translation>
    </message>
    <message>
        <source>New snippet:</source>
        <translation>Neuer Textbaustein:</translation>
    </message>
    <message>
        <source>New snippet from selection:</source>
        <translation>Neuer Textbaustein aus der Auswahl:</translation>
    </message>
    <message>
        <source>New snippet from clipboard:</source>
        <translation>Neuer Textbaustein aus der Zwischenablage:</translation>
    </message>
    <message>
        <source>New snippet for the application:</source>
        <translation>Neuer Textbaustein für die Anwendung:</translation>
    </message>
    <message>
        <source>Search snippets:</source>
        <translation>Textbausteine suchen:</translation>
    </message>
    <message>
        <source>%1 cannot be used: %2</source>
        <translation>%1 kann nicht verwendet werden: %2</translation>
    </message>
    <message>
        <source>Hotkeys</source>
        <translation>Tastenkombinationen</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>Delay before a snippet chosen in the search window expands:</source>
        <translation>Verzögerung, bevor ein im Suchfenster gewählter Textbaustein eingefügt wird:</translation>
    </message>
    <message>
        <source>Delay before the clipboard is restored:</source>
        <translation>Verzögerung, bevor die Zwischenablage wiederhergestellt wird:</translation>
    </message>
    <message>
        <source>Advanced</source>
        <translation>Erweitert</translation>
    </message>
    <message>
        <source>Delimiters</source>
        <translation>Trennzeichen</translation>
    </message>
    <message>
        <source>Note: on this desktop Quillet sees Return, Enter, Tab and Escape only after the application has acted on them. As delimiters they still work, but the new line, the move to the next field or the closed dialog has already happened.</source>
        <translation>Hinweis: In dieser Arbeitsumgebung sieht Quillet die Eingabetaste, Enter, Tabulator und Esc erst, nachdem die Anwendung darauf reagiert hat. Als Trennzeichen wirken sie weiterhin, aber die neue Zeile, der Sprung ins nächste Feld oder das Schließen des Dialogs ist dann schon geschehen.</translation>
    </message>
    <message>
        <source>Standard delimiters:</source>
        <translation>Standard-Trennzeichen:</translation>
    </message>
    <message>
        <source>Your delimiters (separated by spaces):</source>
        <translation>Eigene Trennzeichen (durch Leerzeichen getrennt):</translation>
    </message>
    <message>
        <source>The library window stays in the taskbar: this desktop has no system tray to hold Quillet&apos;s icon, and without either Quillet could not be reached.</source>
        <translation>Das Bibliotheksfenster bleibt in der Taskleiste: Diese Arbeitsumgebung hat keinen Infobereich für Quillets Symbol, und ohne beides wäre Quillet nicht erreichbar.</translation>
    </message>
    <message>
        <source>it is already taken.</source>
        <translation>sie ist bereits vergeben.</translation>
    </message>
    <message>
        <source>(%1)</source>
        <translation>(%1)</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Skip duplicates</source>
        <translation>Doppelte überspringen</translation>
    </message>
    <message>
        <source>Add duplicates as new</source>
        <translation>Doppelte als neu hinzufügen</translation>
    </message>
    <message>
        <source>Overwrite existing</source>
        <translation>Vorhandene überschreiben</translation>
    </message>
</context>
<context>
    <name>QuilletActions</name>
    <message>
        <source>switch expansion on or off</source>
        <translation>Ersetzen ein- oder ausschalten</translation>
    </message>
    <message>
        <source>switch expansion on</source>
        <translation>Ersetzen einschalten</translation>
    </message>
    <message>
        <source>switch expansion off</source>
        <translation>Ersetzen ausschalten</translation>
    </message>
    <message>
        <source>show the suggestion list</source>
        <translation>die Vorschlagsliste zeigen</translation>
    </message>
    <message>
        <source>open the search window</source>
        <translation>das Suchfenster öffnen</translation>
    </message>
    <message>
        <source>open an empty new snippet</source>
        <translation>einen neuen, leeren Textbaustein öffnen</translation>
    </message>
    <message>
        <source>make a snippet of the text selected in the application in front</source>
        <translation>aus dem markierten Text der aktiven Anwendung einen Textbaustein machen</translation>
    </message>
    <message>
        <source>make a snippet of the clipboard</source>
        <translation>aus der Zwischenablage einen Textbaustein machen</translation>
    </message>
    <message>
        <source>make a snippet for the application in front</source>
        <translation>einen Textbaustein für die aktive Anwendung anlegen</translation>
    </message>
    <message>
        <source>write a backup of the library now</source>
        <translation>jetzt eine Sicherung der Bibliothek schreiben</translation>
    </message>
    <message>
        <source>show or hide the library window</source>
        <translation>das Bibliotheksfenster zeigen oder verbergen</translation>
    </message>
    <message>
        <source>quit Quillet</source>
        <translation>Quillet beenden</translation>
    </message>
    <message>
        <source>Usage: quillet [--action NAME]

Without options, starts Quillet (or shows the library window of the one running).

  --action NAME  hands NAME to the running Quillet and waits until it is done;
                 bind these to keys in the desktop&apos;s keyboard settings
                 (sway: bindsym Ctrl+Alt+s exec quillet --action search)
  --help         shows this text

Actions:
</source>
        <translation>Aufruf: quillet [--action NAME]

Ohne Optionen startet Quillet (oder zeigt das Bibliotheksfenster des laufenden Quillet).

  --action NAME  übergibt NAME an das laufende Quillet und wartet, bis es erledigt ist;
                 legen Sie diese in den Tastatureinstellungen der Arbeitsumgebung auf Tasten
                 (sway: bindsym Ctrl+Alt+s exec quillet --action search)
  --help         zeigt diesen Text

Aktionen:
</translation>
    </message>
    <message>
        <source>
Environment:
  QUILLET_PLATFORM=x11|wayland  the desktop services to use (default: wayland when
                                WAYLAND_DISPLAY is set, else x11)
  QUILLET_INPUT_EVENTS=PATH     on Wayland, read raw kernel input events from the
                                FIFO at PATH instead of /dev/input
</source>
        <translation>
Umgebung:
  QUILLET_PLATFORM=x11|wayland  die zu nutzenden Dienste der Arbeitsumgebung (Standard:
                                wayland, wenn WAYLAND_DISPLAY gesetzt ist, sonst x11)
  QUILLET_INPUT_EVENTS=PFAD     unter Wayland rohe Eingabeereignisse des Kernels aus dem
                                FIFO unter PFAD statt aus /dev/input lesen
</translation>
    </message>
</context>
<context>
    <name>QuilletMain</name>
    <message>
        <source>QUILLET_PLATFORM must be x11 or wayland</source>
        <translation>QUILLET_PLATFORM muss x11 oder wayland sein</translation>
    </message>
    <message>
        <source>unknown action &quot;%1&quot;; quillet --help lists them</source>
        <translation>unbekannte Aktion „%1“; quillet --help listet alle auf</translation>
    </message>
    <message>
        <source>the running Quillet does not know the action &quot;%1&quot;</source>
        <translation>das laufende Quillet kennt die Aktion „%1“ nicht</translation>
    </message>
    <message>
        <source>Quillet is not running; start it first</source>
        <translation>Quillet läuft nicht; starten Sie es zuerst</translation>
    </message>
    <message>
        <source>no X display (DISPLAY is not set): Quillet runs on an X11 desktop</source>
        <translation>kein X-Display (DISPLAY ist nicht gesetzt): Quillet läuft auf einem X11-Desktop</translation>
    </message>
    <message>
        <source>this Quillet was built without Wayland support; QUILLET_PLATFORM=x11 uses XWayland</source>
        <translation>dieses Quillet wurde ohne Wayland-Unterstützung gebaut; mit QUILLET_PLATFORM=x11 nutzt es XWayland</translation>
    </message>
    <message>
        <source>Quillet is already running; its library window is shown.</source>
        <translation>Quillet läuft bereits; sein Bibliotheksfenster wird angezeigt.</translation>
    </message>
    <message>
        <source>cannot answer later starts at %1</source>
        <translation>spätere Starts können unter %1 nicht beantwortet werden</translation>
    </message>
    <message>
        <source>cannot use the X server: %1</source>
        <translation>der X-Server ist nicht nutzbar: %1</translation>
    </message>
    <message>
        <source>cannot use the Wayland compositor: %1</source>
        <translation>der Wayland-Compositor ist nicht nutzbar: %1</translation>
    </message>
    <message>
        <source>Quillet cannot expand everywhere in this Wayland session.</source>
        <translation>Quillet kann in dieser Wayland-Sitzung nicht überall ersetzen.</translation>
    </message>
    <message>
        <source>Quillet is running on %1; expansion is on. Ctrl+C here quits.</source>
        <translation>Quillet läuft auf %1; das Ersetzen ist eingeschaltet. Strg+C hier beendet es.</translation>
    </message>
    <message>
        <source>Quillet is running on %1; expansion is off. Ctrl+C here quits.</source>
        <translation>Quillet läuft auf %1; das Ersetzen ist ausgeschaltet. Strg+C hier beendet es.</translation>
    </message>
</context>
<context>
    <name>SearchSnippetListModel</name>
    <message>
        <source>No Snippets Found</source>
        <translation>Keine Textbausteine gefunden</translation>
    </message>
    <message>
        <source>Total Snippets Found : %1</source>
        <translation>Gefundene Textbausteine: %1</translation>
    </message>
</context>
<context>
    <name>SearchSnippetPopupController</name>
    <message>
        <source>Lookup For :</source>
        <translation>Suche nach:</translation>
    </message>
    <message>
        <source>Group Lookup :</source>
        <translation>Gruppensuche:</translation>
    </message>
</context>
<context>
    <name>SearchSnippetWindowController</name>
    <message>
        <source>Search snippets</source>
        <translation>Textbausteine suchen</translation>
    </message>
</context>
<context>
    <name>ShortcutRecorder</name>
    <message>
        <source>Click to record a shortcut</source>
        <translation>Zum Aufnehmen klicken</translation>
    </message>
    <message>
        <source>Clear the shortcut</source>
        <translation>Tastenkombination löschen</translation>
    </message>
    <message>
        <source>Type the shortcut</source>
        <translation>Tastenkombination drücken</translation>
    </message>
</context>
<context>
    <name>StatisticsChart</name>
    <message>
        <source>Characters inserted per day</source>
        <translation>Eingefügte Zeichen pro Tag</translation>
    </message>
    <message>
        <source>No expansions in this period</source>
        <translation>Keine Ersetzungen in diesem Zeitraum</translation>
    </message>
</context>
<context>
    <name>StatisticsWindowController</name>
    <message>
        <source>Statistics</source>
        <translation>Statistik</translation>
    </message>
    <message>
        <source>All Time</source>
        <translation>Gesamter Zeitraum</translation>
    </message>
    <message>
        <source>Last 30 Days</source>
        <translation>Letzte 30 Tage</translation>
    </message>
    <message>
        <source>Last 7 Days</source>
        <translation>Letzte 7 Tage</translation>
    </message>
    <message>
        <source>Period:</source>
        <translation>Zeitraum:</translation>
    </message>
    <message>
        <source>Snippets expanded:</source>
        <translation>Eingefügte Textbausteine:</translation>
    </message>
    <message>
        <source>Characters inserted:</source>
        <translation>Eingefügte Zeichen:</translation>
    </message>
    <message>
        <source>Typing speed (words per minute):</source>
        <translation>Tippgeschwindigkeit (Wörter pro Minute):</translation>
    </message>
    <message>
        <source>Hours saved:</source>
        <translation>Gesparte Stunden:</translation>
    </message>
</context>
<context>
    <name>WaylandPlatform</name>
    <message>
        <source>cannot connect to the Wayland compositor</source>
        <translation>keine Verbindung zum Wayland-Compositor</translation>
    </message>
    <message>
        <source>The compositor offers no virtual keyboard (zwp_virtual_keyboard_v1): Quillet cannot type here.</source>
        <translation>Der Compositor bietet keine virtuelle Tastatur (zwp_virtual_keyboard_v1): Quillet kann hier nicht tippen.</translation>
    </message>
    <message>
        <source>The compositor offers no clipboard control (wlr data control): Quillet cannot paste snippets here.</source>
        <translation>Der Compositor bietet keinen Zugriff auf die Zwischenablage (wlr data control): Quillet kann hier keine Textbausteine einfügen.</translation>
    </message>
    <message>
        <source>The compositor does not list its windows (wlr foreign toplevel management): application rules do not apply.</source>
        <translation>Der Compositor gibt seine Fenster nicht bekannt (wlr foreign toplevel management): Anwendungsregeln greifen nicht.</translation>
    </message>
    <message>
        <source>No keyboard was found under /dev/input: nothing expands until one is plugged in.</source>
        <translation>Unter /dev/input wurde keine Tastatur gefunden: Bis eine angeschlossen wird, wird nichts ersetzt.</translation>
    </message>
    <message>
        <source>Quillet cannot read the keyboards under /dev/input, so nothing expands. Grant access with &quot;sudo usermod -aG input $USER&quot; and log in again, or install the udev rule 70-quillet-input.rules into /usr/lib/udev/rules.d and run &quot;sudo udevadm trigger&quot;.</source>
        <translation>Quillet kann die Tastaturen unter /dev/input nicht lesen, daher wird nichts ersetzt. Erteilen Sie den Zugriff mit „sudo usermod -aG input $USER“ und melden Sie sich neu an, oder installieren Sie die udev-Regel 70-quillet-input.rules nach /usr/lib/udev/rules.d und führen Sie „sudo udevadm trigger“ aus.</translation>
    </message>
</context>
<context>
    <name>X11Accessibility</name>
    <message>
        <source>the RECORD and XTEST extensions</source>
        <translation>die Erweiterungen RECORD und XTEST</translation>
    </message>
    <message>
        <source>the RECORD extension</source>
        <translation>die Erweiterung RECORD</translation>
    </message>
    <message>
        <source>the XTEST extension</source>
        <translation>die Erweiterung XTEST</translation>
    </message>
</context>
<context>
    <name>X11Platform</name>
    <message>
        <source>cannot connect to the X server</source>
        <translation>keine Verbindung zum X-Server</translation>
    </message>
</context>
<context>
    <name>ql::SleepInhibitor</name>
    <message>
        <source>Writing the snippet library</source>
        <translation>Die Textbaustein-Bibliothek wird geschrieben</translation>
    </message>
</context>
</TS>
