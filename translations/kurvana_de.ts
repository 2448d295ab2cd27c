<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>ProblemTexts</name>
    <message>
        <source>Cannot read &quot;%1&quot;: %2. Formulas are not added to this history until it can be read.</source>
        <translation>„%1“ kann nicht gelesen werden: %2. Formeln kommen erst wieder in diesen Verlauf, wenn er lesbar ist.</translation>
    </message>
    <message>
        <source>Cannot read &quot;%1&quot;: %2. Settings are not saved while it is there.</source>
        <translation>„%1“ kann nicht gelesen werden: %2. Solange diese Datei dort liegt, werden die Einstellungen nicht gespeichert.</translation>
    </message>
    <message>
        <source>Cannot read &quot;%1&quot;: %2</source>
        <translation>„%1“ kann nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Cannot write &quot;%1&quot;: %2</source>
        <translation>„%1“ kann nicht geschrieben werden: %2</translation>
    </message>
    <message>
        <source>Cannot open the report &quot;%1&quot;: %2. It is still written there after each Draw.</source>
        <translation>Der Bericht „%1“ kann nicht geöffnet werden: %2. Er wird weiterhin nach jedem Zeichnen dort geschrieben.</translation>
    </message>
    <message>
        <source>Cannot open &quot;%1&quot;: %2.</source>
        <translation>„%1“ kann nicht geöffnet werden: %2.</translation>
    </message>
    <message>
        <source>Kurvana cannot find your documents folder: the HOME variable is not set.</source>
        <translation>Kurvana findet Ihren Dokumentenordner nicht: Die Variable HOME ist nicht gesetzt.</translation>
    </message>
    <message>
        <source>Kurvana cannot create its data folder &quot;%1&quot;: %2.</source>
        <translation>Kurvana kann seinen Datenordner „%1“ nicht anlegen: %2.</translation>
    </message>
    <message>
        <source>Language file &quot;%1&quot; and those after it are left out: all language files together may not exceed %2 MiB.</source>
        <translation>Die Sprachdatei „%1“ und alle folgenden werden ausgelassen: Alle Sprachdateien zusammen dürfen %2 MiB nicht überschreiten.</translation>
    </message>
    <message>
        <source>Language file &quot;%1&quot; and those after it are left out: all language files together may not exceed %2 bytes.</source>
        <translation>Die Sprachdatei „%1“ und alle folgenden werden ausgelassen: Alle Sprachdateien zusammen dürfen %2 Bytes nicht überschreiten.</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>es ist ein Ordner</translation>
    </message>
    <message>
        <source>it is a named pipe</source>
        <translation>es ist eine benannte Pipe</translation>
    </message>
    <message>
        <source>it is a device</source>
        <translation>es ist ein Gerät</translation>
    </message>
    <message>
        <source>it is a socket</source>
        <translation>es ist ein Socket</translation>
    </message>
    <message>
        <source>it is a symbolic link</source>
        <translation>es ist ein symbolischer Link</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>es ist keine gewöhnliche Datei</translation>
    </message>
    <message>
        <source>it is a folder, not replaced</source>
        <translation>es ist ein Ordner und wird nicht ersetzt</translation>
    </message>
    <message>
        <source>it is a named pipe, not replaced</source>
        <translation>es ist eine benannte Pipe und wird nicht ersetzt</translation>
    </message>
    <message>
        <source>it is a device, not replaced</source>
        <translation>es ist ein Gerät und wird nicht ersetzt</translation>
    </message>
    <message>
        <source>it is a socket, not replaced</source>
        <translation>es ist ein Socket und wird nicht ersetzt</translation>
    </message>
    <message>
        <source>it is a symbolic link, not replaced</source>
        <translation>es ist ein symbolischer Link und wird nicht ersetzt</translation>
    </message>
    <message>
        <source>it is not a regular file, not replaced</source>
        <translation>es ist keine gewöhnliche Datei und wird nicht ersetzt</translation>
    </message>
    <message>
        <source>it belongs to another user in a shared folder, not replaced</source>
        <translation>die Datei gehört in einem gemeinsamen Ordner einem anderen Benutzer und wird nicht ersetzt</translation>
    </message>
    <message>
        <source>it is a link of another user in a shared folder, not followed</source>
        <translation>es ist ein Link eines anderen Benutzers in einem gemeinsamen Ordner und wird nicht verfolgt</translation>
    </message>
    <message>
        <source>it was replaced by another file meanwhile</source>
        <translation>die Datei wurde inzwischen durch eine andere ersetzt</translation>
    </message>
    <message>
        <source>no copy of its present content can be kept while it is rewritten</source>
        <translation>von ihrem jetzigen Inhalt kann während des Schreibens keine Kopie angelegt werden</translation>
    </message>
    <message>
        <source>no file name</source>
        <translation>kein Dateiname</translation>
    </message>
    <message>
        <source>it is larger than %1 MiB</source>
        <translation>die Datei ist größer als %1 MiB</translation>
    </message>
    <message>
        <source>it is larger than %1 KiB</source>
        <translation>die Datei ist größer als %1 KiB</translation>
    </message>
    <message>
        <source>it is larger than %1 bytes</source>
        <translation>die Datei ist größer als %1 Bytes</translation>
    </message>
    <message>
        <source>it is larger than 1 byte</source>
        <translation>die Datei ist größer als 1 Byte</translation>
    </message>
    <message>
        <source>the picture is empty</source>
        <translation>das Bild ist leer</translation>
    </message>
    <message>
        <source>the picture is too large for a BMP file</source>
        <translation>das Bild ist zu groß für eine BMP-Datei</translation>
    </message>
    <message>
        <source>out of memory</source>
        <translation>nicht genug Arbeitsspeicher</translation>
    </message>
    <message>
        <source>a file of that name is in the way</source>
        <translation>eine Datei dieses Namens ist im Weg</translation>
    </message>
    <message>
        <source>it is not a translation file</source>
        <translation>es ist keine Übersetzungsdatei</translation>
    </message>
    <message>
        <source>%1; its previous content is kept in &quot;%2&quot;</source>
        <translation>%1; ihr bisheriger Inhalt liegt in „%2“</translation>
    </message>
    <message>
        <source>%1; its previous content could not be put back</source>
        <translation>%1; ihr bisheriger Inhalt konnte nicht zurückgeschrieben werden</translation>
    </message>
    <message>
        <source>%1; &quot;%2&quot; was put back as it was</source>
        <translation>%1; „%2“ wurde wiederhergestellt</translation>
    </message>
    <message>
        <source>%1; &quot;%2&quot; was written but could not be put back (%3)</source>
        <translation>%1; „%2“ wurde geschrieben, konnte aber nicht wiederhergestellt werden (%3)</translation>
    </message>
    <message>
        <source>%1 could not be started</source>
        <translation>%1 konnte nicht gestartet werden</translation>
    </message>
    <message>
        <source>the desktop has no program for it (%1 ended with status 3)</source>
        <translation>die Arbeitsumgebung hat kein Programm dafür (%1 endete mit Status 3)</translation>
    </message>
    <message>
        <source>%1 ended with status %2</source>
        <translation>%1 endete mit Status %2</translation>
    </message>
    <message>
        <source>Permission denied</source>
        <translation>Zugriff verweigert</translation>
    </message>
    <message>
        <source>Operation not permitted</source>
        <translation>Vorgang nicht zulässig</translation>
    </message>
    <message>
        <source>No such file or directory</source>
        <translation>Datei oder Ordner nicht gefunden</translation>
    </message>
    <message>
        <source>No space left on device</source>
        <translation>Kein Platz mehr auf dem Datenträger</translation>
    </message>
    <message>
        <source>Read-only file system</source>
        <translation>Das Dateisystem ist schreibgeschützt</translation>
    </message>
    <message>
        <source>Is a directory</source>
        <translation>Ist ein Ordner</translation>
    </message>
    <message>
        <source>Not a directory</source>
        <translation>Ist kein Ordner</translation>
    </message>
    <message>
        <source>Directory not empty</source>
        <translation>Ordner ist nicht leer</translation>
    </message>
    <message>
        <source>File exists</source>
        <translation>Datei existiert bereits</translation>
    </message>
    <message>
        <source>File too large</source>
        <translation>Datei ist zu groß</translation>
    </message>
    <message>
        <source>File name too long</source>
        <translation>Dateiname ist zu lang</translation>
    </message>
    <message>
        <source>Input/output error</source>
        <translation>Ein-/Ausgabefehler</translation>
    </message>
    <message>
        <source>Disk quota exceeded</source>
        <translation>Speicherkontingent überschritten</translation>
    </message>
    <message>
        <source>Too many levels of symbolic links</source>
        <translation>Zu viele Ebenen symbolischer Links</translation>
    </message>
    <message>
        <source>Too many open files</source>
        <translation>Zu viele offene Dateien</translation>
    </message>
    <message>
        <source>Cannot allocate memory</source>
        <translation>Speicher kann nicht zugewiesen werden</translation>
    </message>
    <message>
        <source>Text file busy</source>
        <translation>Programmdatei ist in Benutzung</translation>
    </message>
    <message>
        <source>Device or resource busy</source>
        <translation>Gerät oder Ressource ist belegt</translation>
    </message>
    <message>
        <source>No such device or address</source>
        <translation>Gerät oder Adresse nicht gefunden</translation>
    </message>
    <message>
        <source>No such device</source>
        <translation>Gerät nicht gefunden</translation>
    </message>
    <message>
        <source>Invalid argument</source>
        <translation>Ungültiges Argument</translation>
    </message>
    <message>
        <source>Invalid cross-device link</source>
        <translation>Link über Gerätegrenzen hinweg nicht möglich</translation>
    </message>
    <message>
        <source>Stale file handle</source>
        <translation>Veralteter Datei-Handle</translation>
    </message>
    <message>
        <source>Operation not supported</source>
        <translation>Vorgang wird nicht unterstützt</translation>
    </message>
    <message>
        <source>Resource temporarily unavailable</source>
        <translation>Ressource vorübergehend nicht verfügbar</translation>
    </message>
    <message>
        <source>Bad file descriptor</source>
        <translation>Ungültiger Dateideskriptor</translation>
    </message>
</context>
<context>
    <name>RoundButton</name>
    <message>
        <source>Draw</source>
        <translation>Zeichnen</translation>
    </message>
    <message>
        <source>Clear picture</source>
        <translation>Bild löschen</translation>
    </message>
    <message>
        <source>Save picture</source>
        <translation>Bild speichern</translation>
    </message>
    <message>
        <source>Previous formula</source>
        <translation>Vorige Formel</translation>
    </message>
    <message>
        <source>Zoom in</source>
        <translation>Vergrößern</translation>
    </message>
    <message>
        <source>Zoom out</source>
        <translation>Verkleinern</translation>
    </message>
    <message>
        <source>Web page</source>
        <translation>Webseite</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Maximise</source>
        <translation>Maximieren</translation>
    </message>
    <message>
        <source>Restore</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
</context>
<context>
    <name>kurvana::ui::MainWindow</name>
    <message>
        <source>A new program version is available!
Do you want to download it now?</source>
        <translation>Eine neue Programmversion ist verfügbar!
Möchten Sie sie jetzt herunterladen?</translation>
    </message>
    <message>
        <source>Draw the formula (Enter)</source>
        <translation>Formel zeichnen (Eingabe)</translation>
    </message>
    <message>
        <source>Clear the picture</source>
        <translation>Bild löschen</translation>
    </message>
    <message>
        <source>Save the picture (Ctrl+S)</source>
        <translation>Bild speichern (Strg+S)</translation>
    </message>
    <message>
        <source>Previous formula from the history</source>
        <translation>Vorige Formel aus dem Verlauf</translation>
    </message>
    <message>
        <source>Zoom in on x (Ctrl++), with Shift, Alt or Ctrl held on y (Ctrl+Alt++)</source>
        <translation>In x vergrößern (Strg++), mit gedrückter Umschalt-, Alt- oder Strg-Taste in y (Strg+Alt++)</translation>
    </message>
    <message>
        <source>Zoom out on x (Ctrl+-), with Shift, Alt or Ctrl held on y (Ctrl+Alt+-)</source>
        <translation>In x verkleinern (Strg+-), mit gedrückter Umschalt-, Alt- oder Strg-Taste in y (Strg+Alt+-)</translation>
    </message>
    <message>
        <source>Kurvana&apos;s web page</source>
        <translation>Webseite von Kurvana</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>Save picture</source>
        <translation>Bild speichern</translation>
    </message>
    <message>
        <source>Copy picture</source>
        <translation>Bild kopieren</translation>
    </message>
    <message>
        <source>Clear picture</source>
        <translation>Bild löschen</translation>
    </message>
    <message>
        <source>Load function</source>
        <translation>Funktion laden</translation>
    </message>
    <message>
        <source>Save function</source>
        <translation>Funktion speichern</translation>
    </message>
    <message>
        <source>X zoom in</source>
        <translation>X vergrößern</translation>
    </message>
    <message>
        <source>X zoom out</source>
        <translation>X verkleinern</translation>
    </message>
    <message>
        <source>Y zoom in</source>
        <translation>Y vergrößern</translation>
    </message>
    <message>
        <source>Y zoom out</source>
        <translation>Y verkleinern</translation>
    </message>
    <message>
        <source>Back</source>
        <translation>Zurück</translation>
    </message>
    <message>
        <source>Forward</source>
        <translation>Vorwärts</translation>
    </message>
    <message>
        <source>Exit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <source>Minimise</source>
        <translation>Minimieren</translation>
    </message>
    <message>
        <source>Maximise or restore</source>
        <translation>Maximieren oder wiederherstellen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>Integral</source>
        <translation>Integral</translation>
    </message>
    <message>
        <source>Plot</source>
        <translation>Diagramm</translation>
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
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
    <message>
        <source>Select all</source>
        <translation>Alles auswählen</translation>
    </message>
    <message>
        <source>Bitmap picture</source>
        <translation>Bitmap-Bild</translation>
    </message>
    <message>
        <source>Jpeg picture</source>
        <translation>JPEG-Bild</translation>
    </message>
    <message>
        <source>PNG picture</source>
        <translation>PNG-Bild</translation>
    </message>
    <message>
        <source>SVG picture</source>
        <translation>SVG-Bild</translation>
    </message>
    <message>
        <source>PDF document</source>
        <translation>PDF-Dokument</translation>
    </message>
    <message>
        <source>Function files</source>
        <translation>Funktionsdateien</translation>
    </message>
    <message>
        <source>Function file</source>
        <translation>Funktionsdatei</translation>
    </message>
    <message>
        <source>Any file</source>
        <translation>Alle Dateien</translation>
    </message>
</context>
<context>
    <name>kurvana::ui::MessageWindow</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>kurvana::ui::PaletteDialog</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>R = %1</source>
        <extracomment>The red component of a colour, 0 to 255.</extracomment>
        <translation>R = %1</translation>
    </message>
    <message>
        <source>G = %1</source>
        <extracomment>The green component of a colour, 0 to 255.</extracomment>
        <translation>G = %1</translation>
    </message>
    <message>
        <source>B = %1</source>
        <extracomment>The blue component of a colour, 0 to 255.</extracomment>
        <translation>B = %1</translation>
    </message>
</context>
<context>
    <name>kurvana::ui::SettingsDialog</name>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
</TS>
