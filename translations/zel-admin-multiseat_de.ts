<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>ApplyLock</name>
    <message>
        <source>%1 is not a lock file of this program.</source>
        <translation>%1 ist keine Sperrdatei dieses Programms.</translation>
    </message>
    <message>
        <source>%1 is held by another program.</source>
        <translation>%1 wird von einem anderen Programm gehalten.</translation>
    </message>
</context>
<context>
    <name>AttachProgressDialog</name>
    <message>
        <source>%1 to %2</source>
        <translation>%1 an %2</translation>
    </message>
</context>
<context>
    <name>ChildProcess</name>
    <message>
        <source>%1 did not answer within %2 seconds.</source>
        <translation>%1 hat nicht innerhalb von %2 Sekunden geantwortet.</translation>
    </message>
    <message>
        <source>%1 could not be started: %2</source>
        <translation>%1 konnte nicht gestartet werden: %2</translation>
    </message>
    <message>
        <source>%1 crashed</source>
        <translation>%1 ist abgestürzt</translation>
    </message>
    <message>
        <source>%1 wrote more than %2 MiB of output.</source>
        <translation>%1 hat mehr als %2 MiB ausgegeben.</translation>
    </message>
</context>
<context>
    <name>CreateSeatDialog</name>
    <message>
        <source>New seat creating</source>
        <translation>Neuen Arbeitsplatz anlegen</translation>
    </message>
    <message>
        <source>Seat name</source>
        <translation>Name des Arbeitsplatzes</translation>
    </message>
    <message>
        <source>Enter seat name here</source>
        <translation>Namen des Arbeitsplatzes hier eingeben</translation>
    </message>
    <message>
        <source>Videocard</source>
        <translation>Grafikkarte</translation>
    </message>
    <message>
        <source>Choose videocard here</source>
        <translation>Grafikkarte hier auswählen</translation>
    </message>
    <message>
        <source>Enter seat name to continue</source>
        <translation>Zum Fortfahren einen Namen eingeben</translation>
    </message>
    <message>
        <source>Create seat</source>
        <translation>Arbeitsplatz anlegen</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>%1 — %2</source>
        <translation>%1 — %2</translation>
    </message>
</context>
<context>
    <name>DevTreeWidget</name>
    <message>
        <source>Videocard</source>
        <translation>Grafikkarte</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>Tastatur</translation>
    </message>
    <message>
        <source>Mouse</source>
        <translation>Maus</translation>
    </message>
    <message>
        <source>Unrecognized devices</source>
        <translation>Nicht erkannte Geräte</translation>
    </message>
</context>
<context>
    <name>DeviceToolTips</name>
    <message>
        <source>Port: %1</source>
        <translation>Anschluss: %1</translation>
    </message>
    <message>
        <source>Driver: %1</source>
        <translation>Treiber: %1</translation>
    </message>
    <message>
        <source>assigned to %1, which no longer exists</source>
        <translation>%1 zugeordnet, den es nicht mehr gibt</translation>
    </message>
    <message>
        <source>Seat: %1</source>
        <translation>Arbeitsplatz: %1</translation>
    </message>
    <message>
        <source>Unknown device %1</source>
        <translation>Unbekanntes Gerät %1</translation>
    </message>
</context>
<context>
    <name>Form</name>
    <message>
        <source>Zel admin multiseat</source>
        <translation>Zel Mehrplatz-Verwaltung</translation>
    </message>
    <message>
        <source>Rename seat</source>
        <translation>Arbeitsplatz umbenennen</translation>
    </message>
    <message>
        <source>Main seat</source>
        <translation>Hauptarbeitsplatz</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>Geräte</translation>
    </message>
    <message>
        <source>Videocard</source>
        <translation>Grafikkarte</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>Tastatur</translation>
    </message>
    <message>
        <source>Mouse</source>
        <translation>Maus</translation>
    </message>
    <message>
        <source>Unrecognized devices</source>
        <translation>Nicht erkannte Geräte</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>Werkzeugleiste</translation>
    </message>
    <message>
        <source>Save changes</source>
        <translation>Änderungen speichern</translation>
    </message>
    <message>
        <source>F1</source>
        <translation>F1</translation>
    </message>
    <message>
        <source>Reload configuration from system</source>
        <translation>Konfiguration neu vom System lesen</translation>
    </message>
    <message>
        <source>Add seat</source>
        <translation>Arbeitsplatz hinzufügen</translation>
    </message>
    <message>
        <source>Allow creation of seats without input devices</source>
        <translation>Das Anlegen von Arbeitsplätzen ohne Eingabegeräte erlauben</translation>
    </message>
    <message>
        <source>Show all devices, include unrecognized </source>
        <translation>Alle Geräte anzeigen, auch nicht erkannte</translation>
    </message>
    <message>
        <source>Put every device back on the main seat and remove every further seat</source>
        <translation>Alle Geräte zurück an den Hauptarbeitsplatz geben und alle weiteren Arbeitsplätze entfernen</translation>
    </message>
    <message>
        <source>Find a keyboard or mouse in the window by pressing a key, clicking or moving it</source>
        <translation>Eine Tastatur oder Maus im Fenster finden: eine Taste drücken, klicken oder die Maus bewegen</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Save changes</source>
        <translation>Änderungen &amp;speichern</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Show &amp;help</source>
        <translation>Hilfe &amp;anzeigen</translation>
    </message>
    <message>
        <source>&amp;Reload configuration</source>
        <translation>Konfiguration neu &amp;laden</translation>
    </message>
    <message>
        <source>&amp;Add seat</source>
        <translation>Arbeitsplatz &amp;hinzufügen</translation>
    </message>
    <message>
        <source>Allow seats &amp;without input devices</source>
        <translation>Arbeitsplätze &amp;ohne Eingabegeräte erlauben</translation>
    </message>
    <message>
        <source>Show &amp;unrecognized devices</source>
        <translation>&amp;Nicht erkannte Geräte anzeigen</translation>
    </message>
    <message>
        <source>Rese&amp;t all seats…</source>
        <translation>Alle Arbeitsplätze &amp;zurücksetzen…</translation>
    </message>
    <message>
        <source>&amp;Identify devices</source>
        <translation>Geräte &amp;identifizieren</translation>
    </message>
    <message>
        <source>&amp;About…</source>
        <translation>Ü&amp;ber…</translation>
    </message>
    <message>
        <source>The program&apos;s version and the display manager it found</source>
        <translation>Die Version des Programms und der gefundene Displaymanager</translation>
    </message>
    <message>
        <source>Ex&amp;port layout…</source>
        <translation>Aufteilung e&amp;xportieren…</translation>
    </message>
    <message>
        <source>Write the layout shown, saved or not, to a file for another machine of the same make</source>
        <translation>Die gezeigte Aufteilung, gespeichert oder nicht, in eine Datei für einen baugleichen Rechner schreiben</translation>
    </message>
    <message>
        <source>&amp;Import layout…</source>
        <translation>Aufteilung &amp;importieren…</translation>
    </message>
    <message>
        <source>Lay this machine&apos;s devices out as a layout file says; nothing is saved until Save</source>
        <translation>Die Geräte dieses Rechners so aufteilen, wie eine Aufteilungsdatei sagt; gespeichert wird erst mit Speichern</translation>
    </message>
    <message>
        <source>Restore pre&amp;vious layout…</source>
        <translation>&amp;Vorherige Aufteilung wiederherstellen…</translation>
    </message>
    <message>
        <source>Bring back the layout as it was before one of the last saves or resets</source>
        <translation>Die Aufteilung zurückholen, wie sie vor einem der letzten Speichervorgänge oder Zurücksetzen war</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>Help</source>
        <translation>Hilfe</translation>
    </message>
</context>
<context>
    <name>IdentifyMode</name>
    <message>
        <source>Press a key or a mouse button, or move a mouse: its device is shown here.</source>
        <translation>Eine Taste oder Maustaste drücken oder eine Maus bewegen: das Gerät wird hier angezeigt.</translation>
    </message>
    <message numerus="yes">
        <source>(and %n more)</source>
        <translation>
            <numerusform>(und %n weiteres)</numerusform>
            <numerusform>(und %n weitere)</numerusform>
        </translation>
    </message>
    <message>
        <source>Key pressed on: %1 (%2)</source>
        <translation>Taste gedrückt auf: %1 (%2)</translation>
    </message>
    <message>
        <source>Button pressed on: %1 (%2)</source>
        <translation>Maustaste gedrückt auf: %1 (%2)</translation>
    </message>
    <message>
        <source>Moved: %1 (%2)</source>
        <translation>Bewegt: %1 (%2)</translation>
    </message>
    <message>
        <source>Cannot watch %1 (%2): %3</source>
        <translation>%1 (%2) kann nicht beobachtet werden: %3</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Blinking the lights of %1.</source>
        <translation>Die Leuchten von %1 blinken.</translation>
    </message>
    <message>
        <source>Identify devices is on, but no keyboard or mouse is left to watch.</source>
        <translation>„Geräte identifizieren“ ist an, aber keine Tastatur und keine Maus ist mehr zu beobachten.</translation>
    </message>
</context>
<context>
    <name>InputWatcher</name>
    <message>
        <source>not an input device</source>
        <translation>kein Eingabegerät</translation>
    </message>
</context>
<context>
    <name>KeyHint</name>
    <message>
        <source>%1 (%2)</source>
        <extracomment>A tool tip and the key that does the same</extracomment>
        <translation>%1 (%2)</translation>
    </message>
</context>
<context>
    <name>KeyboardLights</name>
    <message>
        <source>The lights of a keyboard are blinking already.</source>
        <translation>Die Leuchten einer Tastatur blinken bereits.</translation>
    </message>
    <message>
        <source>This keyboard has no lights the tool can reach.</source>
        <translation>Diese Tastatur hat keine Leuchten, die das Programm erreicht.</translation>
    </message>
    <message>
        <source>%1 could not be written: %2</source>
        <translation>%1 konnte nicht geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>LayoutFile</name>
    <message>
        <source>The file is larger than %1 KiB: it is no layout.</source>
        <translation>Die Datei ist größer als %1 KiB: Sie ist keine Aufteilung.</translation>
    </message>
    <message>
        <source>The file is no JSON document: %1 at byte %2.</source>
        <translation>Die Datei ist kein JSON-Dokument: %1 bei Byte %2.</translation>
    </message>
    <message>
        <source>The file holds no layout object.</source>
        <translation>Die Datei enthält kein Aufteilungsobjekt.</translation>
    </message>
    <message>
        <source>format: &quot;%1&quot; is not &quot;%2&quot;</source>
        <translation>format: „%1“ ist nicht „%2“</translation>
    </message>
    <message>
        <source>version: this tool reads version %1 only</source>
        <translation>version: Dieses Werkzeug liest nur Version %1</translation>
    </message>
    <message>
        <source>%1: a seat must be an object</source>
        <translation>%1: Ein Arbeitsplatz muss ein Objekt sein</translation>
    </message>
    <message>
        <source>%1.id: &quot;%2&quot; is no further seat (&quot;seat&quot;, then letters, digits, &quot;_&quot; or &quot;-&quot;; not seat0)</source>
        <translation>%1.id: „%2“ ist kein weiterer Arbeitsplatz („seat“, dann Buchstaben, Ziffern, „_“ oder „-“; nicht seat0)</translation>
    </message>
    <message>
        <source>%1.id: the seat &quot;%2&quot; is named twice</source>
        <translation>%1.id: Der Arbeitsplatz „%2“ ist doppelt genannt</translation>
    </message>
    <message>
        <source>%1 is no regular file.</source>
        <translation>%1 ist keine gewöhnliche Datei.</translation>
    </message>
    <message>
        <source>%1: unknown field &quot;%2&quot;</source>
        <translation>%1: unbekanntes Feld „%2“</translation>
    </message>
    <message>
        <source>%1 must be a text</source>
        <translation>%1 muss ein Text sein</translation>
    </message>
    <message>
        <source>%1 must be a list</source>
        <translation>%1 muss eine Liste sein</translation>
    </message>
    <message>
        <source>%1: a device must be an object</source>
        <translation>%1: Ein Gerät muss ein Objekt sein</translation>
    </message>
    <message>
        <source>%1: category &quot;%2&quot; is none of %3</source>
        <translation>%1: Die Kategorie „%2“ ist keine von %3</translation>
    </message>
    <message>
        <source>%1: &quot;keys&quot; is empty</source>
        <translation>%1: „keys“ ist leer</translation>
    </message>
    <message>
        <source>%1: a key must be a text without blanks around it</source>
        <translation>%1: Ein Schlüssel muss ein Text ohne Leerzeichen davor und danach sein</translation>
    </message>
    <message>
        <source>%1: &quot;%2&quot; is no sysfs path</source>
        <translation>%1: „%2“ ist kein sysfs-Pfad</translation>
    </message>
    <message>
        <source>%1: the key &quot;%2&quot; is named twice</source>
        <translation>%1: Der Schlüssel „%2“ ist doppelt genannt</translation>
    </message>
</context>
<context>
    <name>LayoutHistory</name>
    <message>
        <source>%1 is not a folder of its own that only the administrator can change.</source>
        <translation>%1 ist kein eigener Ordner, den nur der Administrator ändern kann.</translation>
    </message>
</context>
<context>
    <name>LoginctlUtil</name>
    <message>
        <source>A loginctl command is still running; the new one was not started.</source>
        <translation>Ein loginctl-Befehl läuft noch; der neue wurde nicht gestartet.</translation>
    </message>
    <message>
        <source>Crashed: code is %1</source>
        <translation>Abgestürzt: Code %1</translation>
    </message>
    <message>
        <source>loginctl %1: unexpected output</source>
        <translation>loginctl %1: unerwartete Ausgabe</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Failed to make changes to the file:
 %1 
Please make the required changes manually</source>
        <translation>Die Datei konnte nicht geändert werden:
 %1 
Bitte die nötigen Änderungen von Hand vornehmen</translation>
    </message>
    <message>
        <source>Error!</source>
        <translation>Fehler!</translation>
    </message>
    <message>
        <source>Warning!</source>
        <translation>Warnung!</translation>
    </message>
    <message>
        <source>Disconnecting main videocard from main seat is forbidden.</source>
        <translation>Die Hauptgrafikkarte darf nicht vom Hauptarbeitsplatz getrennt werden.</translation>
    </message>
    <message>
        <source>Disconnecting all videocards from main seat is forbidden.</source>
        <translation>Es dürfen nicht alle Grafikkarten vom Hauptarbeitsplatz getrennt werden.</translation>
    </message>
    <message>
        <source>The main place will be disconnected from important devices. 
Do you want to continue?</source>
        <translation>Dem Hauptarbeitsplatz werden wichtige Geräte genommen. 
Möchten Sie fortfahren?</translation>
    </message>
    <message>
        <source>After saving the settings, the graphical shell will be restarted. 
Do you want to continue?</source>
        <translation>Nach dem Speichern wird die grafische Oberfläche neu gestartet. 
Möchten Sie fortfahren?</translation>
    </message>
    <message>
        <source>Creating seats without videocard is forbidden.</source>
        <translation>Arbeitsplätze ohne Grafikkarte sind nicht erlaubt.</translation>
    </message>
    <message>
        <source>Seats without devices will be deleted. 
Do you want to continue?</source>
        <translation>Arbeitsplätze ohne Geräte werden gelöscht. 
Möchten Sie fortfahren?</translation>
    </message>
    <message>
        <source>Creating seats without input devices disabled in Edit menu.
Enable this option and try again or reconfigure devices.</source>
        <translation>Arbeitsplätze ohne Eingabegeräte sind im Menü Bearbeiten nicht erlaubt.
Diese Option einschalten und erneut versuchen oder die Geräte anders verteilen.</translation>
    </message>
    <message>
        <source>An unexpected error has occurred.
It is recommended to restart the program.</source>
        <translation>Ein unerwarteter Fehler ist aufgetreten.
Es wird empfohlen, das Programm neu zu starten.</translation>
    </message>
    <message>
        <source>%1 (%2) to %3</source>
        <translation>%1 (%2) an %3</translation>
    </message>
    <message>
        <source>These devices could not be attached to their seats:
%1
The graphical shell was not restarted. Check the devices and save again.</source>
        <translation>Diese Geräte konnten ihren Arbeitsplätzen nicht zugeordnet werden:
%1
Die grafische Oberfläche wurde nicht neu gestartet. Die Geräte prüfen und erneut speichern.</translation>
    </message>
    <message>
        <source>No seats were found. 
Continuation of work is impossible.</source>
        <translation>Es wurden keine Arbeitsplätze gefunden. 
Die Arbeit kann nicht fortgesetzt werden.</translation>
    </message>
    <message>
        <source>You have one video card.
Adding seats is not possible, because each seat needs its own video card.</source>
        <translation>Es gibt nur eine Grafikkarte.
Arbeitsplätze können nicht hinzugefügt werden, denn jeder braucht eine eigene Grafikkarte.</translation>
    </message>
    <message>
        <source>The all unsaved changed will be lost. 
Do you want to continue?</source>
        <translation>Alle ungespeicherten Änderungen gehen verloren. 
Möchten Sie fortfahren?</translation>
    </message>
    <message>
        <source>Seat creating</source>
        <translation>Arbeitsplatz anlegen</translation>
    </message>
    <message>
        <source>Unsaved changes</source>
        <translation>Ungespeicherte Änderungen</translation>
    </message>
    <message>
        <source>Configuration was changed but not saved. 
Do you want to save changes?</source>
        <translation>Die Konfiguration wurde geändert, aber nicht gespeichert. 
Möchten Sie die Änderungen speichern?</translation>
    </message>
    <message>
        <source>The seats have not been read completely.
Reload the configuration before saving.</source>
        <translation>Die Arbeitsplätze wurden nicht vollständig gelesen.
Vor dem Speichern die Konfiguration neu laden.</translation>
    </message>
    <message>
        <source>Devices attaching...</source>
        <translation>Geräte werden zugeordnet...</translation>
    </message>
    <message>
        <source>Device attaching error</source>
        <translation>Fehler beim Zuordnen der Geräte</translation>
    </message>
    <message>
        <source>Reset all seats</source>
        <translation>Alle Arbeitsplätze zurücksetzen</translation>
    </message>
    <message>
        <source>Every device will go back to the main seat and every further seat will be removed; the display manager will be set up for one seat and restarted. 
Do you want to continue?</source>
        <translation>Alle Geräte gehen zurück an den Hauptarbeitsplatz, alle weiteren Arbeitsplätze werden entfernt; der Displaymanager wird für einen Arbeitsplatz eingerichtet und neu gestartet. 
Möchten Sie fortfahren?</translation>
    </message>
    <message>
        <source>Blink keyboard lights</source>
        <translation>Tastaturleuchten blinken lassen</translation>
    </message>
    <message>
        <source>No display manager found: a save attaches the devices and restarts nothing.</source>
        <translation>Kein Displaymanager gefunden: Speichern ordnet die Geräte zu und startet nichts neu.</translation>
    </message>
    <message>
        <source>The display manager is masked: a save attaches the devices and restarts nothing.</source>
        <translation>Der Displaymanager ist maskiert: Speichern ordnet die Geräte zu und startet nichts neu.</translation>
    </message>
    <message>
        <source>Display manager: %1 (%2), which starts no login screen on further seats.</source>
        <translation>Displaymanager: %1 (%2), der auf weiteren Arbeitsplätzen keinen Anmeldebildschirm startet.</translation>
    </message>
    <message>
        <source>Display manager: %1 (%2)</source>
        <translation>Displaymanager: %1 (%2)</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>%1 %2
Sets up the seats of a multiseat computer.

%3</source>
        <translation>%1 %2
Richtet die Arbeitsplätze eines Mehrplatzrechners ein.

%3</translation>
    </message>
    <message>
        <source>The display manager %1 starts no login screen on logind&apos;s seats: the further seats will get no login screen from it.</source>
        <translation>Der Displaymanager %1 startet auf den Arbeitsplätzen von logind keinen Anmeldebildschirm: Die weiteren Arbeitsplätze bekommen von ihm keinen.</translation>
    </message>
    <message>
        <source>No display manager was found: the further seats will get no login screen, and nothing will be restarted.</source>
        <translation>Es wurde kein Displaymanager gefunden: Die weiteren Arbeitsplätze bekommen keinen Anmeldebildschirm, und nichts wird neu gestartet.</translation>
    </message>
    <message>
        <source>
The devices are attached all the same.</source>
        <translation>
Die Geräte werden trotzdem zugeordnet.</translation>
    </message>
    <message>
        <source>GDM runs the seats beyond the main seat on X11 only, not on Wayland.</source>
        <translation>GDM betreibt die Arbeitsplätze außer dem Hauptarbeitsplatz nur mit X11, nicht mit Wayland.</translation>
    </message>
    <message>
        <source>Saved</source>
        <translation>Gespeichert</translation>
    </message>
    <message>
        <source>The devices are on their seats. No display manager was restarted, since none was found to run.</source>
        <translation>Die Geräte sind an ihren Arbeitsplätzen. Kein Displaymanager wurde neu gestartet, da keiner gefunden wurde.</translation>
    </message>
    <message>
        <source>Display manager not restarted</source>
        <translation>Displaymanager nicht neu gestartet</translation>
    </message>
    <message>
        <source>The devices are on their seats, but %1 could not be restarted:
%2</source>
        <translation>Die Geräte sind an ihren Arbeitsplätzen, aber %1 konnte nicht neu gestartet werden:
%2</translation>
    </message>
    <message>
        <source>systemctl did not answer.</source>
        <translation>systemctl hat nicht geantwortet.</translation>
    </message>
    <message>
        <source>systemctl failed with status %1.</source>
        <translation>systemctl ist mit Status %1 gescheitert.</translation>
    </message>
    <message>
        <source>Saving restarts the display manager: the sessions of %1 will end.</source>
        <translation>Speichern startet den Displaymanager neu: Die Sitzungen von %1 werden beendet.</translation>
    </message>
    <message>
        <source>Display manager: %1</source>
        <translation>Displaymanager: %1</translation>
    </message>
    <message>
        <source>Moved from %1; not saved yet</source>
        <translation>Verschoben von %1; noch nicht gespeichert</translation>
    </message>
    <message>
        <source>Layout files (*.json)</source>
        <translation>Aufteilungsdateien (*.json)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Alle Dateien (*)</translation>
    </message>
    <message>
        <source>Export layout</source>
        <translation>Aufteilung exportieren</translation>
    </message>
    <message>
        <source>The layout could not be written to %1:
%2</source>
        <translation>Die Aufteilung konnte nicht nach %1 geschrieben werden:
%2</translation>
    </message>
    <message>
        <source>Import layout</source>
        <translation>Aufteilung importieren</translation>
    </message>
    <message>
        <source>Nothing was imported from %1:
%2</source>
        <translation>Aus %1 wurde nichts importiert:
%2</translation>
    </message>
    <message>
        <source>Restore previous layout</source>
        <translation>Vorherige Aufteilung wiederherstellen</translation>
    </message>
    <message>
        <source>No layout has been kept yet: one is kept before every save and every reset.</source>
        <translation>Noch ist keine Aufteilung aufbewahrt: Vor jedem Speichern und jedem Zurücksetzen wird eine aufbewahrt.</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>The layout before a save or reset:</source>
        <translation>Die Aufteilung vor einem Speichern oder Zurücksetzen:</translation>
    </message>
    <message>
        <source>Seats not created, since none of their video cards is here: %1</source>
        <translation>Nicht angelegte Arbeitsplätze, da keine ihrer Grafikkarten hier ist: %1</translation>
    </message>
    <message>
        <source>Named in the file, not found here:
%1</source>
        <translation>In der Datei genannt, hier nicht gefunden:
%1</translation>
    </message>
    <message>
        <source>Not named in the file, so on the main seat now:
%1</source>
        <translation>In der Datei nicht genannt, daher jetzt am Hauptarbeitsplatz:
%1</translation>
    </message>
    <message>
        <source>Every device of the file was found here.</source>
        <translation>Jedes Gerät der Datei wurde hier gefunden.</translation>
    </message>
    <message>
        <source>Nothing is saved until you save.</source>
        <translation>Gespeichert wird erst, wenn Sie speichern.</translation>
    </message>
    <message>
        <source>Layout imported</source>
        <translation>Aufteilung importiert</translation>
    </message>
    <message>
        <source>The layout before this change could not be kept, so it cannot be restored later:
%1</source>
        <translation>Die Aufteilung vor dieser Änderung konnte nicht aufbewahrt werden und lässt sich daher später nicht wiederherstellen:
%1</translation>
    </message>
    <message>
        <source>A device is shown on two seats, and nothing was saved.
Reload the configuration and make the changes again.</source>
        <translation>Ein Gerät wird an zwei Arbeitsplätzen angezeigt; es wurde nichts gespeichert.
Laden Sie die Konfiguration neu und nehmen Sie die Änderungen erneut vor.</translation>
    </message>
    <message>
        <source>Resetting all seats: every device goes back to the main seat...</source>
        <translation>Alle Arbeitsplätze werden zurückgesetzt: Jedes Gerät kehrt zum Hauptarbeitsplatz zurück...</translation>
    </message>
    <message>
        <source>Reset failed</source>
        <translation>Zurücksetzen fehlgeschlagen</translation>
    </message>
    <message>
        <source>%1 (process %2) is changing the seats. Save again when it has finished.</source>
        <translation>%1 (Prozess %2) ändert gerade die Arbeitsplätze. Speichern Sie erneut, wenn es fertig ist.</translation>
    </message>
    <message>
        <source>The seats cannot be changed now: %1</source>
        <translation>Die Arbeitsplätze können jetzt nicht geändert werden: %1</translation>
    </message>
</context>
<context>
    <name>MultiseatCtl</name>
    <message>
        <source>show: print JSON.</source>
        <translation>show: JSON ausgeben.</translation>
    </message>
    <message>
        <source>apply: print the moves on standard output, one per line.</source>
        <translation>apply: die Verschiebungen auf die Standardausgabe schreiben, eine je Zeile.</translation>
    </message>
    <message>
        <source>apply: do not restart the display manager.</source>
        <translation>apply: den Displaymanager nicht neu starten.</translation>
    </message>
    <message>
        <source>reset: do not ask.</source>
        <translation>reset: nicht nachfragen.</translation>
    </message>
    <message>
        <source>show, export, apply or reset.</source>
        <translation>show, export, apply oder reset.</translation>
    </message>
    <message>
        <source>The layout file.</source>
        <translation>Die Aufteilungsdatei.</translation>
    </message>
    <message>
        <source>No verb given: show, export, apply or reset (see --help).</source>
        <translation>Kein Befehl angegeben: show, export, apply oder reset (siehe --help).</translation>
    </message>
    <message>
        <source>Unknown verb %1: show, export, apply or reset (see --help).</source>
        <translation>Unbekannter Befehl %1: show, export, apply oder reset (siehe --help).</translation>
    </message>
    <message>
        <source>--%1 does not go with %2.</source>
        <translation>--%1 passt nicht zu %2.</translation>
    </message>
    <message>
        <source>%1 needs a layout file.</source>
        <translation>%1 braucht eine Aufteilungsdatei.</translation>
    </message>
    <message>
        <source>Too many arguments for %1.</source>
        <translation>Zu viele Argumente für %1.</translation>
    </message>
    <message>
        <source>Only root can read and change the seats: run it as root.</source>
        <translation>Nur root kann die Arbeitsplätze lesen und ändern: starten Sie es als root.</translation>
    </message>
    <message>
        <source>logind lists no seat.</source>
        <translation>logind führt keinen Arbeitsplatz.</translation>
    </message>
    <message>
        <source>The seats could not be read completely; nothing was changed.</source>
        <translation>Die Arbeitsplätze konnten nicht vollständig gelesen werden; nichts wurde geändert.</translation>
    </message>
    <message>
        <source>(main seat)</source>
        <translation>(Hauptarbeitsplatz)</translation>
    </message>
    <message>
        <source>in use: %1</source>
        <translation>belegt: %1</translation>
    </message>
    <message>
        <source>%1 not written: %2</source>
        <translation>%1 nicht geschrieben: %2</translation>
    </message>
    <message>
        <source>The window of %1 is open (process %2): close it, then try again.</source>
        <translation>Das Fenster von %1 ist geöffnet (Prozess %2): schließen Sie es und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Another %1 (process %2) is changing the seats: try again when it has finished.</source>
        <translation>Ein anderes %1 (Prozess %2) ändert gerade die Arbeitsplätze: versuchen Sie es erneut, wenn es fertig ist.</translation>
    </message>
    <message>
        <source>The seats cannot be changed now: %1</source>
        <translation>Die Arbeitsplätze können jetzt nicht geändert werden: %1</translation>
    </message>
    <message>
        <source>%1 is no layout file: %2</source>
        <translation>%1 ist keine Aufteilungsdatei: %2</translation>
    </message>
    <message>
        <source>refused by the layout rule %1: %2
Seats without any of their video cards here: %3</source>
        <translation>abgelehnt von der Aufteilungsregel %1: %2
Arbeitsplätze, von deren Grafikkarten keine hier ist: %3</translation>
    </message>
    <message>
        <source>Named in the file, not found here:
%1</source>
        <translation>In der Datei genannt, hier nicht gefunden:
%1</translation>
    </message>
    <message>
        <source>Named in the file, not found here:
%1
Nothing was changed.</source>
        <translation>In der Datei genannt, hier nicht gefunden:
%1
Nichts wurde geändert.</translation>
    </message>
    <message>
        <source>Nothing to change: the seats are as the file lays them out.</source>
        <translation>Nichts zu ändern: die Arbeitsplätze sind so aufgeteilt, wie die Datei es sagt.</translation>
    </message>
    <message>
        <source>refused by the layout rule %1: %2</source>
        <translation>abgelehnt von der Aufteilungsregel %1: %2</translation>
    </message>
    <message>
        <source>The display manager %1 starts no login screen on logind&apos;s seats: the further seats will get no login screen from it.</source>
        <translation>Der Displaymanager %1 startet keinen Anmeldebildschirm auf den Arbeitsplätzen von logind: die weiteren Arbeitsplätze bekommen von ihm keinen Anmeldebildschirm.</translation>
    </message>
    <message>
        <source>No display manager was found: the further seats will get no login screen.</source>
        <translation>Es wurde kein Displaymanager gefunden: die weiteren Arbeitsplätze bekommen keinen Anmeldebildschirm.</translation>
    </message>
    <message>
        <source>Ended by a signal: the devices are on their seats, nothing was restarted.</source>
        <translation>Durch ein Signal beendet: die Geräte sind an ihren Arbeitsplätzen, nichts wurde neu gestartet.</translation>
    </message>
    <message>
        <source>The devices are on their seats; %1 was not restarted.</source>
        <translation>Die Geräte sind an ihren Arbeitsplätzen; %1 wurde nicht neu gestartet.</translation>
    </message>
    <message>
        <source>The devices are on their seats. No display manager was restarted, since none was found to run.</source>
        <translation>Die Geräte sind an ihren Arbeitsplätzen. Kein Displaymanager wurde neu gestartet, da keiner gefunden wurde.</translation>
    </message>
    <message>
        <source>Restarting %1 ends the sessions of %2.</source>
        <translation>Der Neustart von %1 beendet die Sitzungen von %2.</translation>
    </message>
    <message>
        <source>The devices are on their seats, but %1 could not be restarted:
%2</source>
        <translation>Die Geräte sind an ihren Arbeitsplätzen, aber %1 konnte nicht neu gestartet werden:
%2</translation>
    </message>
    <message>
        <source>reset asks before it changes anything; without a terminal to ask on, give --yes.</source>
        <translation>reset fragt, bevor es etwas ändert; ohne Terminal zum Fragen geben Sie --yes an.</translation>
    </message>
    <message>
        <source>Nothing to change: every device is on the main seat.</source>
        <translation>Nichts zu ändern: alle Geräte sind am Hauptarbeitsplatz.</translation>
    </message>
    <message>
        <source>Every device will go back to the main seat and every further seat will be removed; the display manager will be set up for one seat and restarted.
Do you want to continue? [y/N] </source>
        <translation>Alle Geräte kommen zurück an den Hauptarbeitsplatz, und alle weiteren Arbeitsplätze werden entfernt; der Displaymanager wird für einen Arbeitsplatz eingerichtet und neu gestartet.
Möchten Sie fortfahren? [j/N] </translation>
    </message>
    <message>
        <source>y</source>
        <translation>j</translation>
    </message>
    <message>
        <source>yes</source>
        <translation>ja</translation>
    </message>
    <message>
        <source>Nothing was changed.</source>
        <translation>Nichts wurde geändert.</translation>
    </message>
    <message>
        <source>Reset failed: %1</source>
        <translation>Zurücksetzen fehlgeschlagen: %1</translation>
    </message>
    <message>
        <source>Ended by a signal; nothing was changed.</source>
        <translation>Durch ein Signal beendet; nichts wurde geändert.</translation>
    </message>
    <message>
        <source>Shows, exports and applies the layout of the seats of this multiseat computer.

Verbs:
  show [--json]        the seats and their devices as logind has them now
  export [FILE]        the layout as a layout file (standard output without FILE)
  apply FILE [--check] [--diff] [--no-restart]
                       make this machine&apos;s layout the file&apos;s, as a save in the
                       window does
  reset [--yes] [--check]
                       every device back to the main seat, every further seat gone

Exit codes:
  0  nothing to change: nothing attached, nothing restarted
  1  an error
  2  changed, or would change with --check
  3  refused by a layout rule, which the message names</source>
        <translation>Zeigt, exportiert und übernimmt die Aufteilung der Arbeitsplätze dieses Mehrplatzrechners.

Befehle:
  show [--json]        die Arbeitsplätze und ihre Geräte, wie logind sie jetzt hat
  export [DATEI]       die Aufteilung als Aufteilungsdatei (ohne DATEI auf die Standardausgabe)
  apply DATEI [--check] [--diff] [--no-restart]
                       macht die Aufteilung der Datei zu der dieses Rechners,
                       wie es das Speichern im Fenster tut
  reset [--yes] [--check]
                       alle Geräte zurück an den Hauptarbeitsplatz, alle weiteren Arbeitsplätze entfernt

Rückgabewerte:
  0  nichts zu ändern: nichts zugewiesen, nichts neu gestartet
  1  ein Fehler
  2  geändert, oder mit --check: würde ändern
  3  von einer Regel der Aufteilung abgelehnt, die die Meldung nennt</translation>
    </message>
    <message>
        <source>apply, reset: change nothing, only tell whether a change is due.</source>
        <translation>apply, reset: nichts ändern, nur sagen, ob eine Änderung ansteht.</translation>
    </message>
    <message>
        <source>The layout before this change could not be kept, so nothing was changed: %1</source>
        <translation>Die Aufteilung vor dieser Änderung konnte nicht aufbewahrt werden, daher wurde nichts geändert: %1</translation>
    </message>
    <message numerus="yes">
        <source>%n change(s) due.</source>
        <translation>
            <numerusform>%n Änderung steht an.</numerusform>
            <numerusform>%n Änderungen stehen an.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>OutsideChangeList</name>
    <message>
        <source>%1 was connected.</source>
        <translation>%1 wurde angeschlossen.</translation>
    </message>
    <message>
        <source>%1 was disconnected.</source>
        <translation>%1 wurde getrennt.</translation>
    </message>
    <message>
        <source>%1 was moved to %2 outside this tool.</source>
        <translation>%1 wurde außerhalb dieses Programms an %2 gegeben.</translation>
    </message>
    <message numerus="yes">
        <source>%n devices changed outside this tool.</source>
        <translation>
            <numerusform>%n Gerät wurde außerhalb dieses Programms geändert.</numerusform>
            <numerusform>%n Geräte wurden außerhalb dieses Programms geändert.</numerusform>
        </translation>
    </message>
    <message>
        <source>Reload to see the devices as they are now.</source>
        <translation>Neu laden, um die Geräte so zu sehen, wie sie jetzt sind.</translation>
    </message>
    <message numerus="yes">
        <source>(and %n more)</source>
        <translation>
            <numerusform>(und %n weiteres)</numerusform>
            <numerusform>(und %n weitere)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>OutsideChanges</name>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Changes outside this tool</source>
        <translation>Änderungen außerhalb dieses Programms</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Warning!</source>
        <translation>Warnung!</translation>
    </message>
    <message>
        <source>You should run this application with superuser privileges.</source>
        <translation>Dieses Programm muss mit Administratorrechten laufen.</translation>
    </message>
    <message>
        <source>The operating system is running in the mode of mandatory integrity control.
To configure multiterminal mode, you must be logged into the session under a high level of integrity.</source>
        <translation>Das Betriebssystem läuft mit verbindlicher Integritätskontrolle.
Um den Mehrplatzbetrieb einzurichten, muss die Sitzung auf hoher Integritätsstufe angemeldet sein.</translation>
    </message>
</context>
<context>
    <name>Seat</name>
    <message>
        <source>Form</source>
        <translation>Formular</translation>
    </message>
    <message>
        <source>Rename seat</source>
        <translation>Arbeitsplatz umbenennen</translation>
    </message>
    <message>
        <source>Seat 1</source>
        <translation>Arbeitsplatz 1</translation>
    </message>
    <message>
        <source>(will be deleted) </source>
        <translation>(wird gelöscht) </translation>
    </message>
    <message>
        <source>Delete seat</source>
        <translation>Arbeitsplatz löschen</translation>
    </message>
    <message>
        <source>Attach device to place on the right</source>
        <translation>Gerät dem Arbeitsplatz rechts zuordnen</translation>
    </message>
    <message>
        <source>Attach device to main place</source>
        <translation>Gerät dem Hauptarbeitsplatz zuordnen</translation>
    </message>
    <message>
        <source>Disconnect all devices</source>
        <translation>Alle Geräte trennen</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>Geräte</translation>
    </message>
    <message>
        <source>Videocard</source>
        <translation>Grafikkarte</translation>
    </message>
    <message>
        <source>Keyboard</source>
        <translation>Tastatur</translation>
    </message>
    <message>
        <source>Mouse</source>
        <translation>Maus</translation>
    </message>
    <message>
        <source>Unrecognized devices</source>
        <translation>Nicht erkannte Geräte</translation>
    </message>
    <message>
        <source>Devices disconnection</source>
        <translation>Geräte trennen</translation>
    </message>
    <message>
        <source>All devices will be disconnected from seat. 
Are you sure?</source>
        <translation>Alle Geräte werden vom Arbeitsplatz getrennt. 
Sind Sie sicher?</translation>
    </message>
    <message>
        <source>Seat renaming</source>
        <translation>Arbeitsplatz umbenennen</translation>
    </message>
    <message>
        <source>New name:</source>
        <translation>Neuer Name:</translation>
    </message>
    <message>
        <source>The name is too long to display 
and will be displayed truncated</source>
        <translation>Der Name ist zu lang für die Anzeige 
und wird gekürzt angezeigt</translation>
    </message>
</context>
<context>
    <name>SeatReset</name>
    <message>
        <source>loginctl flush-devices failed with status %1.</source>
        <translation>loginctl flush-devices ist mit Status %1 gescheitert.</translation>
    </message>
</context>
<context>
    <name>SeatSessions</name>
    <message>
        <source>In use: %1</source>
        <translation>Belegt: %1</translation>
    </message>
    <message>
        <source>Login screen</source>
        <translation>Anmeldebildschirm</translation>
    </message>
    <message>
        <source>No login screen: no video card</source>
        <translation>Kein Anmeldebildschirm: keine Grafikkarte</translation>
    </message>
    <message>
        <source>No login screen</source>
        <translation>Kein Anmeldebildschirm</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>%1 and %2</source>
        <translation>%1 und %2</translation>
    </message>
</context>
</TS>
