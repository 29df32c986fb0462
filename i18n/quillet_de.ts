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
    <name>AppSelectionSheet</name>
    <message>
        <source>Choose Applications</source>
        <translation>Anwendungen auswählen</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Applications:</source>
        <translation>Anwendungen:</translation>
    </message>
    <message>
        <source>Double-click an application, or drag it, to move it between the lists.</source>
        <translation>Doppelklicken oder ziehen Sie eine Anwendung, um sie in die andere Liste zu bringen.</translation>
    </message>
</context>
<context>
    <name>BackupAndRestore</name>
    <message>
        <source>Auto Backup %1 :</source>
        <translation>Automatische Sicherung %1:</translation>
    </message>
    <message>
        <source>Disabled</source>
        <translation>Ausgeschaltet</translation>
    </message>
    <message>
        <source>Next Backup %1 :</source>
        <translation>Nächste Sicherung %1:</translation>
    </message>
    <message>
        <source>Unable to find backup folder path [%1]!</source>
        <translation>Sicherungsordner [%1] nicht gefunden!</translation>
    </message>
    <message>
        <source>Unable to write backup in folder path [%1]!</source>
        <translation>Sicherung im Ordner [%1] konnte nicht geschrieben werden!</translation>
    </message>
    <message>
        <source>Unable to create backup in folder path [%1]!</source>
        <translation>Sicherung im Ordner [%1] konnte nicht erstellt werden!</translation>
    </message>
    <message>
        <source>Unable to create Quillet backup!</source>
        <translation>Quillet-Sicherung konnte nicht erstellt werden!</translation>
    </message>
    <message>
        <source>%1 backup created successfully.</source>
        <translation>%1-Sicherung erfolgreich erstellt.</translation>
    </message>
    <message>
        <source>Unable to create %1 backup!</source>
        <translation>%1-Sicherung konnte nicht erstellt werden!</translation>
    </message>
    <message>
        <source>Quillet Backup Restore:</source>
        <translation>Quillet-Sicherung wiederherstellen:</translation>
    </message>
    <message>
        <source>Unable to load selected backup file!</source>
        <translation>Die ausgewählte Sicherungsdatei ließ sich nicht laden!</translation>
    </message>
    <message>
        <source>Unable to restore backup!<byte value="xd"/>
<byte value="xd"/>
To restore previous data, please manually restore it from default backup file.<byte value="xd"/>
<byte value="xd"/>
[%1].<byte value="xd"/>
<byte value="xd"/>
Click [OK] to reveal file in finder.</source>
        <translation>Die Sicherung konnte nicht wiederhergestellt werden!<byte value="xd"/>
<byte value="xd"/>
Um die vorherigen Daten zurückzubekommen, stellen Sie sie bitte von Hand aus der Standard-Sicherungsdatei wieder her.<byte value="xd"/>
<byte value="xd"/>
[%1].<byte value="xd"/>
<byte value="xd"/>
Klicken Sie auf [OK], um die Datei im Dateimanager zu zeigen.</translation>
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
    <name>DelimiterPanel</name>
    <message>
        <source>Delimiters</source>
        <translation>Trennzeichen</translation>
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
        <source>Note: on this desktop Quillet sees Return, Enter, Tab and Escape only after the application has acted on them. As delimiters they still work, but the new line, the move to the next field or the closed dialog has already happened.</source>
        <translation>Hinweis: In dieser Arbeitsumgebung sieht Quillet die Eingabetaste, Enter, Tabulator und Esc erst, nachdem die Anwendung darauf reagiert hat. Als Trennzeichen wirken sie weiterhin, aber die neue Zeile, der Sprung ins nächste Feld oder das Schließen des Dialogs ist dann schon geschehen.</translation>
    </message>
</context>
<context>
    <name>GroupView</name>
    <message>
        <source>Name:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>Abbreviation:</source>
        <translation>Kürzel:</translation>
    </message>
    <message>
        <source>Applications:</source>
        <translation>Anwendungen:</translation>
    </message>
    <message>
        <source>Expand as the preferences say</source>
        <translation>Ersetzen wie in den Einstellungen</translation>
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
        <source>Never expand</source>
        <translation>Nie ersetzen</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Auswählen…</translation>
    </message>
    <message>
        <source>Abbreviations expand:</source>
        <translation>Kürzel werden ersetzt:</translation>
    </message>
    <message>
        <source>As the preferences say</source>
        <translation>Wie in den Einstellungen</translation>
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
        <source>Anywhere, also inside a word</source>
        <translation>Überall, auch mitten im Wort</translation>
    </message>
    <message>
        <source>Sound:</source>
        <translation>Ton:</translation>
    </message>
    <message>
        <source>The preferences&apos; sound</source>
        <translation>Der Ton aus den Einstellungen</translation>
    </message>
    <message>
        <source>No sound</source>
        <translation>Kein Ton</translation>
    </message>
    <message>
        <source>Offer these snippets as suggestions</source>
        <translation>Diese Textbausteine als Vorschläge anbieten</translation>
    </message>
    <message>
        <source>Allow group suggestions</source>
        <translation>Vorschläge aus der Gruppe erlauben</translation>
    </message>
</context>
<context>
    <name>GroupViewController</name>
    <message>
        <source>No applications chosen.</source>
        <translation>Keine Anwendungen ausgewählt.</translation>
    </message>
    <message>
        <source>Expand in all applications except:</source>
        <translation>In allen Anwendungen ersetzen außer:</translation>
    </message>
    <message>
        <source>Expand in only these applications:</source>
        <translation>Nur in diesen Anwendungen ersetzen:</translation>
    </message>
</context>
<context>
    <name>HotKeys</name>
    <message>
        <source>another program already uses it as a shortcut.</source>
        <translation>ein anderes Programm verwendet sie bereits als Tastenkombination.</translation>
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
    <name>ImportWindow</name>
    <message>
        <source>Import Groups and Snippets</source>
        <translation>Gruppen und Textbausteine importieren</translation>
    </message>
    <message>
        <source>Import from:</source>
        <translation>Importieren aus:</translation>
    </message>
    <message>
        <source>Quillet (Mac)</source>
        <translation>Quillet (Mac)</translation>
    </message>
    <message>
        <source>TextExpander (Mac)</source>
        <translation>TextExpander (Mac)</translation>
    </message>
    <message>
        <source>Quillet (Windows)</source>
        <translation>Quillet (Windows)</translation>
    </message>
    <message>
        <source>File:</source>
        <translation>Datei:</translation>
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
        <source>Validate</source>
        <translation>Prüfen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Importieren</translation>
    </message>
</context>
<context>
    <name>ImportWindowController</name>
    <message>
        <source>Import Groups and Snippets</source>
        <translation>Gruppen und Textbausteine importieren</translation>
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
    <message>
        <source>Select Quillet (Mac) File :</source>
        <translation>Quillet-Datei (Mac) auswählen:</translation>
    </message>
    <message>
        <source>Select Text Expander (Mac) File :</source>
        <translation>TextExpander-Datei (Mac) auswählen:</translation>
    </message>
    <message>
        <source>Select Quillet (Windows) File :</source>
        <translation>Quillet-Datei (Windows) auswählen:</translation>
    </message>
</context>
<context>
    <name>LibraryFile</name>
    <message>
        <source>The library file was changed by another program and cannot be read now (%1). Quillet leaves it as it is and goes on with the library it has; changes made here are written once the file reads again.</source>
        <translation>Die Bibliotheksdatei wurde von einem anderen Programm geändert und lässt sich gerade nicht lesen (%1). Quillet lässt sie unverändert und arbeitet mit seiner Bibliothek weiter; Änderungen von hier werden geschrieben, sobald sich die Datei wieder lesen lässt.</translation>
    </message>
    <message>
        <source>the folder cannot be created</source>
        <translation>der Ordner lässt sich nicht anlegen</translation>
    </message>
    <message>
        <source>the library there cannot be read</source>
        <translation>die dortige Bibliothek lässt sich nicht lesen</translation>
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
    <name>LibraryWindow</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ansicht</translation>
    </message>
    <message>
        <source>Sort By</source>
        <translation>Sortieren nach</translation>
    </message>
    <message>
        <source>&amp;Window</source>
        <translation>&amp;Fenster</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Toolbar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>New Group</source>
        <translation>Neue Gruppe</translation>
    </message>
    <message>
        <source>New Snippet</source>
        <translation>Neuer Textbaustein</translation>
    </message>
    <message>
        <source>Import…</source>
        <translation>Importieren…</translation>
    </message>
    <message>
        <source>Save a Copy of Group…</source>
        <translation>Kopie der Gruppe speichern…</translation>
    </message>
    <message>
        <source>Page Setup…</source>
        <translation>Seite einrichten…</translation>
    </message>
    <message>
        <source>Print Group…</source>
        <translation>Gruppe drucken…</translation>
    </message>
    <message>
        <source>Print All Groups…</source>
        <translation>Alle Gruppen drucken…</translation>
    </message>
    <message>
        <source>Back Up Now</source>
        <translation>Jetzt sichern</translation>
    </message>
    <message>
        <source>Restore…</source>
        <translation>Wiederherstellen…</translation>
    </message>
    <message>
        <source>Close Window</source>
        <translation>Fenster schließen</translation>
    </message>
    <message>
        <source>Quit Quillet</source>
        <translation>Quillet beenden</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Widerrufen</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Duplizieren</translation>
    </message>
    <message>
        <source>Delete…</source>
        <translation>Löschen…</translation>
    </message>
    <message>
        <source>Find</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>Content</source>
        <translation>Inhalt</translation>
    </message>
    <message>
        <source>Abbreviation</source>
        <translation>Kürzel</translation>
    </message>
    <message>
        <source>Date Created</source>
        <translation>Erstellt am</translation>
    </message>
    <message>
        <source>Date Modified</source>
        <translation>Geändert am</translation>
    </message>
    <message>
        <source>Label</source>
        <translation>Bezeichnung</translation>
    </message>
    <message>
        <source>Date Last Used</source>
        <translation>Zuletzt verwendet</translation>
    </message>
    <message>
        <source>Use Count</source>
        <translation>Verwendungen</translation>
    </message>
    <message>
        <source>Expand All Groups</source>
        <translation>Alle Gruppen aufklappen</translation>
    </message>
    <message>
        <source>Collapse All Groups</source>
        <translation>Alle Gruppen zuklappen</translation>
    </message>
    <message>
        <source>Minimize</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Preferences…</source>
        <translation>Einstellungen…</translation>
    </message>
    <message>
        <source>Statistics</source>
        <translation>Statistik</translation>
    </message>
    <message>
        <source>Disable Quillet</source>
        <translation>Quillet ausschalten</translation>
    </message>
    <message>
        <source>Quillet Help</source>
        <translation>Quillet-Hilfe</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
<context>
    <name>LibraryWindowController</name>
    <message>
        <source>New Group</source>
        <translation>Neue Gruppe</translation>
    </message>
    <message>
        <source>New Snippet</source>
        <translation>Neuer Textbaustein</translation>
    </message>
    <message>
        <source>Are you sure you want to remove all selected snippets?</source>
        <translation>Möchten Sie wirklich alle ausgewählten Textbausteine entfernen?</translation>
    </message>
    <message>
        <source>Edit &gt; Undo (Ctrl+Z) brings them back.</source>
        <translation>Bearbeiten &gt; Widerrufen (Strg+Z) holt sie zurück.</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Delete Group</source>
        <translation>Gruppe löschen</translation>
    </message>
    <message>
        <source>Delete Snippet</source>
        <translation>Textbaustein löschen</translation>
    </message>
    <message>
        <source>Cut Snippet</source>
        <translation>Textbaustein ausschneiden</translation>
    </message>
    <message>
        <source>Paste Snippet</source>
        <translation>Textbaustein einfügen</translation>
    </message>
    <message>
        <source>Duplicate Snippet</source>
        <translation>Textbaustein duplizieren</translation>
    </message>
    <message>
        <source>Copy Snippet</source>
        <translation>Textbaustein kopieren</translation>
    </message>
    <message>
        <source>Move Snippet</source>
        <translation>Textbaustein verschieben</translation>
    </message>
    <message>
        <source>Sort</source>
        <translation>Sortieren</translation>
    </message>
    <message>
        <source>Unable to find group!</source>
        <translation>Gruppe nicht gefunden!</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Unable to save group!</source>
        <translation>Gruppe konnte nicht gespeichert werden!</translation>
    </message>
    <message>
        <source>Quillet Snippets</source>
        <translation>Quillet-Textbausteine</translation>
    </message>
    <message>
        <source>Unable to print!</source>
        <translation>Drucken nicht möglich!</translation>
    </message>
    <message>
        <source>&quot;%1&quot; could not be written.</source>
        <translation>„%1“ konnte nicht geschrieben werden.</translation>
    </message>
    <message>
        <source>The printer &quot;%1&quot; did not take the document.</source>
        <translation>Der Drucker „%1“ hat das Dokument nicht angenommen.</translation>
    </message>
    <message>
        <source>Error : The abbreviation &quot;%1&quot; is already in use!</source>
        <translation>Fehler: Das Kürzel „%1“ wird bereits verwendet!</translation>
    </message>
    <message>
        <source>Quillet Files (*.qlxdoc)</source>
        <translation>Quillet-Dateien (*.qlxdoc)</translation>
    </message>
    <message>
        <source>Unable to save the library!</source>
        <translation>Die Bibliothek konnte nicht gespeichert werden!</translation>
    </message>
    <message>
        <source>Quillet could not write &quot;%1&quot;. Your changes are kept while Quillet runs and saved with the next change that can be written.</source>
        <translation>Quillet konnte „%1“ nicht schreiben. Ihre Änderungen bleiben erhalten, solange Quillet läuft, und werden mit der nächsten Änderung gespeichert, die sich schreiben lässt.</translation>
    </message>
    <message>
        <source>Groups:</source>
        <translation>Gruppen:</translation>
    </message>
    <message>
        <source>Snippets:</source>
        <translation>Textbausteine:</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Widerrufen</translation>
    </message>
    <message>
        <source>Undo %1</source>
        <translation>%1 widerrufen</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>%1 wiederholen</translation>
    </message>
    <message>
        <source>Disable Quillet</source>
        <translation>Quillet ausschalten</translation>
    </message>
    <message>
        <source>Enable Quillet</source>
        <translation>Quillet einschalten</translation>
    </message>
    <message>
        <source>Cut</source>
        <translation>Ausschneiden</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Duplicate</source>
        <translation>Duplizieren</translation>
    </message>
    <message>
        <source>Delete…</source>
        <translation>Löschen…</translation>
    </message>
    <message>
        <source>Search</source>
        <translation>Suchen</translation>
    </message>
    <message>
        <source>The settings file could not be read.</source>
        <translation>Die Einstellungsdatei ließ sich nicht lesen.</translation>
    </message>
    <message>
        <source>It was moved aside to &quot;%1&quot; and Quillet started with an empty library. Restore a backup to get your snippets back.</source>
        <translation>Sie wurde nach „%1“ verschoben, und Quillet hat mit einer leeren Bibliothek begonnen. Stellen Sie eine Sicherung wieder her, um Ihre Textbausteine zurückzubekommen.</translation>
    </message>
    <message>
        <source>No Snippets</source>
        <translation>Keine Textbausteine</translation>
    </message>
    <message>
        <source>Save a Copy of Group…</source>
        <translation>Kopie der Gruppe speichern…</translation>
    </message>
    <message>
        <source>Print Group…</source>
        <translation>Gruppe drucken…</translation>
    </message>
    <message>
        <source>Save a Copy of Group &quot;%1&quot;…</source>
        <translation>Kopie der Gruppe „%1“ speichern…</translation>
    </message>
    <message>
        <source>Print Group &quot;%1&quot;…</source>
        <translation>Gruppe „%1“ drucken…</translation>
    </message>
    <message>
        <source>Empty Selection</source>
        <translation>Leere Auswahl</translation>
    </message>
</context>
<context>
    <name>NewSnippetFlow</name>
    <message>
        <source>the application</source>
        <translation>der Anwendung</translation>
    </message>
    <message>
        <source>Nothing was selected in %1 (or it could not be copied); the snippet starts empty.</source>
        <translation>In %1 war nichts ausgewählt (oder es ließ sich nicht kopieren); der Textbaustein beginnt leer.</translation>
    </message>
    <message>
        <source>The snippet starts with the text selected in %1.</source>
        <translation>Der Textbaustein beginnt mit dem in %1 ausgewählten Text.</translation>
    </message>
    <message>
        <source>The snippet starts with the content of the clipboard.</source>
        <translation>Der Textbaustein beginnt mit dem Inhalt der Zwischenablage.</translation>
    </message>
    <message>
        <source>The group chosen was renamed or removed meanwhile. Choose the group again.</source>
        <translation>Die gewählte Gruppe wurde inzwischen umbenannt oder entfernt. Wählen Sie die Gruppe erneut.</translation>
    </message>
</context>
<context>
    <name>NewSnippetWindow</name>
    <message>
        <source>New Snippet</source>
        <translation>Neuer Textbaustein</translation>
    </message>
    <message>
        <source>&amp;Group:</source>
        <translation>&amp;Gruppe:</translation>
    </message>
    <message>
        <source>&amp;Format:</source>
        <translation>&amp;Format:</translation>
    </message>
    <message>
        <source>Plain Text</source>
        <translation>Reiner Text</translation>
    </message>
    <message>
        <source>Formatted Text</source>
        <translation>Formatierter Text</translation>
    </message>
</context>
<context>
    <name>NewSnippetWindowController</name>
    <message>
        <source>(Untitled)</source>
        <translation>(Ohne Titel)</translation>
    </message>
    <message>
        <source>Create</source>
        <translation>Erstellen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>PreferencesSheet</name>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <source>Expand abbreviations</source>
        <translation>Kürzel ersetzen</translation>
    </message>
    <message>
        <source>Expand:</source>
        <translation>Ersetzen:</translation>
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
        <source>Delimiters…</source>
        <translation>Trennzeichen…</translation>
    </message>
    <message>
        <source>Abbreviations expand:</source>
        <translation>Kürzel werden ersetzt:</translation>
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
        <source>New snippets are:</source>
        <translation>Neue Textbausteine:</translation>
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
        <source>New abbreviations are:</source>
        <translation>Neue Kürzel:</translation>
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
        <source>Applications:</source>
        <translation>Anwendungen:</translation>
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
        <source>Appearance</source>
        <translation>Darstellung</translation>
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
        <source>Plain snippet font:</source>
        <translation>Schrift für reinen Text:</translation>
    </message>
    <message>
        <source>Choose…</source>
        <translation>Auswählen…</translation>
    </message>
    <message>
        <source>Formatted snippet font:</source>
        <translation>Schrift für formatierten Text:</translation>
    </message>
    <message>
        <source>Backup</source>
        <translation>Sicherung</translation>
    </message>
    <message>
        <source>Back up the library automatically</source>
        <translation>Bibliothek automatisch sichern</translation>
    </message>
    <message>
        <source>Back up:</source>
        <translation>Sichern:</translation>
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
        <source>Backup folder:</source>
        <translation>Sicherungsordner:</translation>
    </message>
    <message>
        <source>Backups to keep:</source>
        <translation>Sicherungen behalten:</translation>
    </message>
    <message>
        <source>Library folder:</source>
        <translation>Bibliotheksordner:</translation>
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
        <source>Hotkeys</source>
        <translation>Tastenkombinationen</translation>
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
        <source>Advanced</source>
        <translation>Erweitert</translation>
    </message>
    <message>
        <source>Delay before a snippet chosen in the search window expands:</source>
        <translation>Verzögerung, bevor ein im Suchfenster gewählter Textbaustein eingefügt wird:</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>Delay before the clipboard is restored:</source>
        <translation>Verzögerung, bevor die Zwischenablage wiederhergestellt wird:</translation>
    </message>
</context>
<context>
    <name>PreferencesSheetController</name>
    <message>
        <source>%1 cannot be used: %2</source>
        <translation>%1 kann nicht verwendet werden: %2</translation>
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
    <message>
        <source>Expand in all applications except:</source>
        <translation>In allen Anwendungen ersetzen außer:</translation>
    </message>
    <message>
        <source>Expand in only these applications:</source>
        <translation>Nur in diesen Anwendungen ersetzen:</translation>
    </message>
    <message>
        <source>Choose</source>
        <translation>Auswählen</translation>
    </message>
    <message>
        <source>Choose a backup folder</source>
        <translation>Sicherungsordner auswählen</translation>
    </message>
    <message>
        <source>Choose a folder for the library</source>
        <translation>Ordner für die Bibliothek auswählen</translation>
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
    <name>QuilletAppDelegate</name>
    <message>
        <source>Your library could not be read and Quillet started with an empty one. The file was kept as &quot;%1&quot;.</source>
        <translation>Ihre Bibliothek ließ sich nicht lesen, und Quillet hat mit einer leeren begonnen. Die Datei wurde als „%1“ aufbewahrt.</translation>
    </message>
    <message>
        <source>Your statistics could not be read and start again from zero. The file was kept as &quot;%1&quot;.</source>
        <translation>Ihre Statistik ließ sich nicht lesen und beginnt wieder bei null. Die Datei wurde als „%1“ aufbewahrt.</translation>
    </message>
    <message>
        <source>The library file cannot be read.</source>
        <translation>Die Bibliotheksdatei lässt sich nicht lesen.</translation>
    </message>
    <message>
        <source>A library already exists in this folder.</source>
        <translation>In diesem Ordner liegt bereits eine Bibliothek.</translation>
    </message>
    <message>
        <source>Use the library that is there, or replace it with the one Quillet has now?</source>
        <translation>Die dort liegende Bibliothek verwenden oder durch die ersetzen, die Quillet jetzt hat?</translation>
    </message>
    <message>
        <source>Use It</source>
        <translation>Verwenden</translation>
    </message>
    <message>
        <source>Replace It</source>
        <translation>Ersetzen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>The library could not be moved.</source>
        <translation>Die Bibliothek konnte nicht verschoben werden.</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>The scheduled backup failed. </source>
        <translation>Die geplante Sicherung ist fehlgeschlagen. </translation>
    </message>
    <message>
        <source>The library window stays in the taskbar.</source>
        <translation>Das Bibliotheksfenster bleibt in der Taskleiste.</translation>
    </message>
    <message>
        <source>The restored preferences hide it from the taskbar, but this desktop has no system tray to hold Quillet&apos;s icon, and without either Quillet could not be reached.</source>
        <translation>Die wiederhergestellten Einstellungen blenden es in der Taskleiste aus, aber diese Arbeitsoberfläche hat keinen Infobereich für Quillets Symbol, und ohne beides wäre Quillet nicht erreichbar.</translation>
    </message>
    <message>
        <source>The statistics file could not be read.</source>
        <translation>Die Statistikdatei ließ sich nicht lesen.</translation>
    </message>
    <message>
        <source>It was moved aside to &quot;%1&quot; and the counts start again from zero.</source>
        <translation>Sie wurde nach „%1“ verschoben, und die Zählung beginnt wieder bei null.</translation>
    </message>
    <message>
        <source>No viewer opened the Quillet help.</source>
        <translation>Kein Programm hat die Quillet-Hilfe geöffnet.</translation>
    </message>
    <message>
        <source>Open &quot;%1&quot; in a web browser.</source>
        <translation>Öffnen Sie „%1“ in einem Webbrowser.</translation>
    </message>
    <message>
        <source>The Quillet help is not installed.</source>
        <translation>Die Quillet-Hilfe ist nicht installiert.</translation>
    </message>
    <message>
        <source>It was looked for at &quot;%1&quot;.</source>
        <translation>Sie wurde unter „%1“ gesucht.</translation>
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
    <name>RestoreOptionsPanel</name>
    <message>
        <source>Restore Options</source>
        <translation>Optionen der Wiederherstellung</translation>
    </message>
    <message>
        <source>What should be restored from the backup?</source>
        <translation>Was soll aus der Sicherung wiederhergestellt werden?</translation>
    </message>
    <message>
        <source>Groups and snippets</source>
        <translation>Gruppen und Textbausteine</translation>
    </message>
    <message>
        <source>Preferences</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Take a backup of the current library first</source>
        <translation>Zuerst die aktuelle Bibliothek sichern</translation>
    </message>
</context>
<context>
    <name>RestoreWindow</name>
    <message>
        <source>Restore Backup</source>
        <translation>Sicherung wiederherstellen</translation>
    </message>
    <message>
        <source>Backups in the backup folder:</source>
        <translation>Sicherungen im Sicherungsordner:</translation>
    </message>
    <message>
        <source>Backup</source>
        <translation>Sicherung</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>Anzahl</translation>
    </message>
    <message>
        <source>Restore from:</source>
        <translation>Wiederherstellen aus:</translation>
    </message>
    <message>
        <source>No backup file selected</source>
        <translation>Keine Sicherungsdatei ausgewählt</translation>
    </message>
    <message>
        <source>Choose File…</source>
        <translation>Datei auswählen…</translation>
    </message>
    <message>
        <source>Backup Now</source>
        <translation>Jetzt sichern</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Restore…</source>
        <translation>Wiederherstellen…</translation>
    </message>
</context>
<context>
    <name>RestoreWindowController</name>
    <message>
        <source>Select backup file...</source>
        <translation>Sicherungsdatei auswählen...</translation>
    </message>
    <message>
        <source>Quillet backups (*.qlxdoc)</source>
        <translation>Quillet-Sicherungen (*.qlxdoc)</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Please select backup to restore!</source>
        <translation>Bitte wählen Sie die Sicherung aus, die wiederhergestellt werden soll!</translation>
    </message>
    <message>
        <source>No backup file selected.</source>
        <translation>Keine Sicherungsdatei ausgewählt.</translation>
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
    <name>SnippetView</name>
    <message>
        <source>Label:</source>
        <translation>Bezeichnung:</translation>
    </message>
    <message>
        <source>Abbreviation:</source>
        <translation>Kürzel:</translation>
    </message>
    <message>
        <source>Case Sensitive</source>
        <translation>Groß-/Kleinschreibung beachten</translation>
    </message>
    <message>
        <source>Ignore Case</source>
        <translation>Groß-/Kleinschreibung ignorieren</translation>
    </message>
    <message>
        <source>Adapt to Case</source>
        <translation>Groß-/Kleinschreibung anpassen</translation>
    </message>
    <message>
        <source>Content:</source>
        <translation>Inhalt:</translation>
    </message>
    <message>
        <source>Plain Text</source>
        <translation>Reiner Text</translation>
    </message>
    <message>
        <source>Formatted Text</source>
        <translation>Formatierter Text</translation>
    </message>
    <message>
        <source>Convert to HTML</source>
        <translation>In HTML umwandeln</translation>
    </message>
    <message>
        <source>Insert a date, time, clipboard, fill-in, key or cursor code</source>
        <translation>Datums-, Zeit-, Zwischenablage-, Ausfüll-, Tasten- oder Einfügemarken-Code einfügen</translation>
    </message>
    <message>
        <source>Insert</source>
        <translation>Einfügen</translation>
    </message>
    <message>
        <source>Insert a date code</source>
        <translation>Datumscode einfügen</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Insert a time code</source>
        <translation>Zeitcode einfügen</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Insert a key code</source>
        <translation>Tastencode einfügen</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>Taste</translation>
    </message>
    <message>
        <source>Place the cursor marker</source>
        <translation>Einfügemarke setzen</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>Font, style, colour and alignment of formatted content</source>
        <translation>Schrift, Stil, Farbe und Ausrichtung formatierter Inhalte</translation>
    </message>
    <message>
        <source>Format</source>
        <translation>Format</translation>
    </message>
    <message>
        <source>Tab moves to the next field; Ctrl+Tab types a tab</source>
        <translation>Tab springt ins nächste Feld; Strg+Tab schreibt einen Tabulator</translation>
    </message>
</context>
<context>
    <name>SnippetViewController</name>
    <message>
        <source>Font…</source>
        <translation>Schrift…</translation>
    </message>
    <message>
        <source>Bold</source>
        <translation>Fett</translation>
    </message>
    <message>
        <source>Italic</source>
        <translation>Kursiv</translation>
    </message>
    <message>
        <source>Underline</source>
        <translation>Unterstrichen</translation>
    </message>
    <message>
        <source>Colour…</source>
        <translation>Farbe…</translation>
    </message>
    <message>
        <source>Align Left</source>
        <translation>Linksbündig</translation>
    </message>
    <message>
        <source>Center</source>
        <translation>Zentriert</translation>
    </message>
    <message>
        <source>Align Right</source>
        <translation>Rechtsbündig</translation>
    </message>
    <message>
        <source>Justify</source>
        <translation>Blocksatz</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Datum</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Uhrzeit</translation>
    </message>
    <message>
        <source>Clipboard</source>
        <translation>Zwischenablage</translation>
    </message>
    <message>
        <source>Fill-In</source>
        <translation>Ausfüllfeld</translation>
    </message>
    <message>
        <source>Key</source>
        <translation>Taste</translation>
    </message>
    <message>
        <source>Enter</source>
        <translation>Enter</translation>
    </message>
    <message>
        <source>Esc</source>
        <translation>Esc</translation>
    </message>
    <message>
        <source>Return</source>
        <translation>Return</translation>
    </message>
    <message>
        <source>Tab</source>
        <translation>Tab</translation>
    </message>
    <message>
        <source>Position</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>At Beginning</source>
        <translation>Am Anfang</translation>
    </message>
    <message>
        <source>At Cursor</source>
        <translation>An der Einfügemarke</translation>
    </message>
    <message>
        <source>At End</source>
        <translation>Am Ende</translation>
    </message>
    <message>
        <source>This formatted content cannot be shown. It is kept unchanged.</source>
        <translation>Dieser formatierte Inhalt lässt sich nicht anzeigen. Er bleibt unverändert erhalten.</translation>
    </message>
    <message>
        <source>Insert Image</source>
        <translation>Bild einfügen</translation>
    </message>
    <message>
        <source>Images (%1)</source>
        <translation>Bilder (%1)</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; could not be inserted: %2</source>
        <translation>Die Datei „%1“ konnte nicht eingefügt werden: %2</translation>
    </message>
    <message>
        <source>None of the images could be inserted.</source>
        <translation>Keines der Bilder konnte eingefügt werden.</translation>
    </message>
    <message>
        <source>Some of the images could not be inserted.</source>
        <translation>Einige der Bilder konnten nicht eingefügt werden.</translation>
    </message>
    <message>
        <source>The images may be unreadable, or the volume they are on may be inaccessible. Please check in Finder.</source>
        <translation>Die Bilder sind vielleicht unlesbar, oder ihr Datenträger ist nicht erreichbar. Bitte prüfen Sie das im Dateimanager.</translation>
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
    <name>TrayItem</name>
    <message>
        <source>Search Snippets…</source>
        <translation>Textbausteine suchen…</translation>
    </message>
    <message>
        <source>Open Quillet</source>
        <translation>Quillet öffnen</translation>
    </message>
    <message>
        <source>Disable Quillet</source>
        <translation>Quillet ausschalten</translation>
    </message>
    <message>
        <source>New Snippet…</source>
        <translation>Neuer Textbaustein…</translation>
    </message>
    <message>
        <source>New Snippet from Selection…</source>
        <translation>Neuer Textbaustein aus der Auswahl…</translation>
    </message>
    <message>
        <source>New Snippet from Clipboard…</source>
        <translation>Neuer Textbaustein aus der Zwischenablage…</translation>
    </message>
    <message>
        <source>New Snippet for Application…</source>
        <translation>Neuer Textbaustein für die Anwendung…</translation>
    </message>
    <message>
        <source>Preferences…</source>
        <translation>Einstellungen…</translation>
    </message>
    <message>
        <source>Statistics…</source>
        <translation>Statistik…</translation>
    </message>
    <message>
        <source>Back Up Now</source>
        <translation>Jetzt sichern</translation>
    </message>
    <message>
        <source>Restore Backup…</source>
        <translation>Sicherung wiederherstellen…</translation>
    </message>
    <message>
        <source>Import…</source>
        <translation>Importieren…</translation>
    </message>
    <message>
        <source>Quillet Help</source>
        <translation>Quillet-Hilfe</translation>
    </message>
    <message>
        <source>Quit Quillet</source>
        <translation>Quillet beenden</translation>
    </message>
    <message>
        <source>Enable Quillet</source>
        <translation>Quillet einschalten</translation>
    </message>
    <message>
        <source>Quillet: expansion is on</source>
        <translation>Quillet: Ersetzen ist an</translation>
    </message>
    <message>
        <source>Quillet: expansion is off</source>
        <translation>Quillet: Ersetzen ist aus</translation>
    </message>
    <message>
        <source>Hide Quillet</source>
        <translation>Quillet ausblenden</translation>
    </message>
</context>
<context>
    <name>WaylandPlatform</name>
    <message>
        <source>cannot connect to the Wayland compositor</source>
        <translation>keine Verbindung zum Wayland-Compositor</translation>
    </message>
    <message>
        <source>KWin does not let Quillet type (org_kde_kwin_fake_input): it grants it to programs started from an installed desktop entry that asks for it. Install Quillet&apos;s package, or copy com.orrerylabs.Quillet.kwin.desktop into ~/.local/share/applications with Exec= set to the full path of this quillet, then log in again.</source>
        <translation>KWin lässt Quillet nicht tippen (org_kde_kwin_fake_input): Es erlaubt das nur Programmen mit einem installierten Desktop-Eintrag, der darum bittet. Installieren Sie das Paket von Quillet oder kopieren Sie com.orrerylabs.Quillet.kwin.desktop nach ~/.local/share/applications, setzen Sie Exec= auf den vollständigen Pfad dieses quillet und melden Sie sich neu an.</translation>
    </message>
    <message>
        <source>KWin&apos;s scripting cannot be reached over D-Bus (org.kde.KWin /Scripting): Quillet cannot tell which application is in front, so nothing expands.</source>
        <translation>KWins Skriptschnittstelle ist über D-Bus nicht erreichbar (org.kde.KWin /Scripting): Quillet erkennt nicht, welches Programm vorne ist, und erweitert daher nichts.</translation>
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
