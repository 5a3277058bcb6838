<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>BackupRestore</name>
    <message>
        <source>Error happened while saving file!</source>
        <translation>Beim Speichern der Datei ist ein Fehler aufgetreten!</translation>
    </message>
    <message>
        <source>Error happened while opening file!</source>
        <translation>Beim Öffnen der Datei ist ein Fehler aufgetreten!</translation>
    </message>
    <message>
        <source>Chronodeck Database</source>
        <translation>Chronodeck-Datenbank</translation>
    </message>
    <message>
        <source>Do you want to overwrite this file?</source>
        <translation>Möchten Sie diese Datei überschreiben?</translation>
    </message>
    <message>
        <source>The database cannot be backed up onto itself.</source>
        <translation>Die Datenbank kann nicht in sich selbst gesichert werden.</translation>
    </message>
    <message>
        <source>Unable to save database to %1!</source>
        <translation>Die Datenbank konnte nicht unter %1 gespeichert werden!</translation>
    </message>
    <message>
        <source>File does not exist!</source>
        <translation>Die Datei existiert nicht!</translation>
    </message>
    <message>
        <source>This database is already the default one!</source>
        <translation>Diese Datenbank ist bereits die aktuelle Datenbank!</translation>
    </message>
    <message>
        <source>There is no room for another copy of the current database: %1 to %2 all exist. Move some of them elsewhere and try again.</source>
        <translation>Für eine weitere Kopie der aktuellen Datenbank ist kein Platz: %1 bis %2 sind alle vorhanden. Verschieben Sie einige davon an einen anderen Ort und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <source>Copying file %1 to %2 has failed.</source>
        <translation>Das Kopieren der Datei %1 nach %2 ist fehlgeschlagen.</translation>
    </message>
    <message>
        <source>Can not create backup of the current database. Please contact Varnholt support at %1</source>
        <translation>Von der aktuellen Datenbank kann keine Sicherung erstellt werden. Bitte wenden Sie sich an den Varnholt-Support unter %1</translation>
    </message>
</context>
<context>
    <name>CalDavClient</name>
    <message>
        <source>Refused to talk to %1 without https</source>
        <translation>Verbindung zu %1 ohne https verweigert</translation>
    </message>
    <message>
        <source>Sign-in refused by the server (401)</source>
        <translation>Der Server hat die Anmeldung abgelehnt (401)</translation>
    </message>
    <message>
        <source>The server refused access (403)</source>
        <translation>Der Server hat den Zugriff verweigert (403)</translation>
    </message>
    <message>
        <source>Not found on the server (%1): %2</source>
        <translation>Auf dem Server nicht gefunden (%1): %2</translation>
    </message>
    <message>
        <source>Changed on the server meanwhile (412)</source>
        <translation>Inzwischen auf dem Server geändert (412)</translation>
    </message>
    <message>
        <source>The server failed (%1)</source>
        <translation>Fehler auf dem Server (%1)</translation>
    </message>
    <message>
        <source>Unexpected answer from the server (%1)</source>
        <translation>Unerwartete Antwort vom Server (%1)</translation>
    </message>
    <message>
        <source>The reply from %1 could not be read: %2</source>
        <translation>Die Antwort von %1 konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <source>Too many redirections from %1</source>
        <translation>Zu viele Weiterleitungen von %1</translation>
    </message>
    <message>
        <source>The reply from %1 is larger than 64 MB</source>
        <translation>Die Antwort von %1 ist größer als 64 MB</translation>
    </message>
    <message>
        <source>No answer from %1 within %2 seconds</source>
        <translation>Keine Antwort von %1 innerhalb von %2 Sekunden</translation>
    </message>
    <message>
        <source>The server&apos;s certificate is not trusted: %1</source>
        <translation>Das Zertifikat des Servers ist nicht vertrauenswürdig: %1</translation>
    </message>
    <message>
        <source>The reply from %1 was cut short</source>
        <translation>Die Antwort von %1 wurde vorzeitig abgebrochen</translation>
    </message>
    <message>
        <source>No answer from %1</source>
        <translation>Keine Antwort von %1</translation>
    </message>
    <message>
        <source>No calendars found at %1</source>
        <translation>Keine Kalender auf %1 gefunden</translation>
    </message>
</context>
<context>
    <name>CanberraSound</name>
    <message>
        <source>Task finished</source>
        <translation>Aufgabe erledigt</translation>
    </message>
</context>
<context>
    <name>ChangeRecorder</name>
    <message numerus="yes">
        <source>%n Recurrent Tasks</source>
        <translation>
            <numerusform>wiederkehrende Aufgabe</numerusform>
            <numerusform>%n wiederkehrende Aufgaben</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n Tasks</source>
        <translation>
            <numerusform>Aufgabe</numerusform>
            <numerusform>%n Aufgaben</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>DavXml</name>
    <message>
        <source>a &quot;%1&quot; where a multistatus belongs</source>
        <translation>ein Element „%1“ statt multistatus</translation>
    </message>
    <message>
        <source>line %1: %2</source>
        <translation>Zeile %1: %2</translation>
    </message>
</context>
<context>
    <name>DayReview</name>
    <message numerus="yes">
        <source>%n tasks</source>
        <translation>
            <numerusform>%n Aufgabe</numerusform>
            <numerusform>%n Aufgaben</numerusform>
        </translation>
    </message>
    <message>
        <source>%1, %2 planned, %3 done</source>
        <translation>%1, %2 geplant, %3 erledigt</translation>
    </message>
    <message>
        <source>%1, %2 planned, %3 done, move %4 to tomorrow</source>
        <translation>%1, %2 geplant, %3 erledigt, %4 auf morgen verschieben</translation>
    </message>
</context>
<context>
    <name>DaySummary</name>
    <message>
        <source>[No tasks]</source>
        <translation>[Keine Aufgaben]</translation>
    </message>
    <message numerus="yes">
        <source>[%n tasks left]</source>
        <translation>
            <numerusform>[%n Aufgabe offen]</numerusform>
            <numerusform>[%n Aufgaben offen]</numerusform>
        </translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>%1 done</source>
        <translation>%1 erledigt</translation>
    </message>
    <message>
        <source>%1 left</source>
        <translation>Noch %1</translation>
    </message>
    <message>
        <source>Everything done!</source>
        <translation>Alles erledigt!</translation>
    </message>
</context>
<context>
    <name>Functions</name>
    <message numerus="yes">
        <source>%n minutes</source>
        <translation>
            <numerusform>%n Minute</numerusform>
            <numerusform>%n Minuten</numerusform>
        </translation>
    </message>
    <message>
        <source>%1 minutes</source>
        <comment>below zero</comment>
        <translation>%1 Minuten</translation>
    </message>
    <message numerus="yes">
        <source>%n hours</source>
        <translation>
            <numerusform>%n Stunde</numerusform>
            <numerusform>%n Stunden</numerusform>
        </translation>
    </message>
    <message>
        <source>%1, %2</source>
        <comment>hours, then minutes</comment>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>Error - %1</source>
        <translation>Fehler - %1</translation>
    </message>
    <message>
        <source>Code: %1</source>
        <translation>Code: %1</translation>
    </message>
    <message>
        <source>Description: %1</source>
        <translation>Beschreibung: %1</translation>
    </message>
</context>
<context>
    <name>GlobalHotkey</name>
    <message>
        <source>A Wayland session lets no program grab keys for itself. Bind a shortcut in the desktop&apos;s keyboard settings to the command chronodeck instead: a second start brings the window forward.</source>
        <translation>In einer Wayland-Sitzung kann kein Programm selbst Tasten belegen. Weisen Sie stattdessen in den Tastatureinstellungen der Arbeitsumgebung dem Befehl chronodeck ein Tastenkürzel zu: Ein zweiter Start holt das Fenster in den Vordergrund.</translation>
    </message>
    <message>
        <source>Chronodeck has no connection to an X11 display, so it cannot grab keys.</source>
        <translation>Chronodeck hat keine Verbindung zu einer X11-Anzeige und kann daher keine Tasten belegen.</translation>
    </message>
    <message>
        <source>This system offers Chronodeck no global hotkeys.</source>
        <translation>Dieses System bietet Chronodeck keine globalen Tastenkürzel.</translation>
    </message>
    <message>
        <source>The desktop&apos;s request to bind the hotkey was cancelled.</source>
        <translation>Die Anfrage der Arbeitsumgebung, das Tastenkürzel zuzuweisen, wurde abgebrochen.</translation>
    </message>
    <message>
        <source>The desktop could not bind the hotkey.</source>
        <translation>Die Arbeitsumgebung konnte das Tastenkürzel nicht zuweisen.</translation>
    </message>
    <message>
        <source>The desktop portal refused the hotkey: %1</source>
        <translation>Das Desktop-Portal hat das Tastenkürzel abgelehnt: %1</translation>
    </message>
    <message>
        <source>Bring Chronodeck to the front</source>
        <translation>Chronodeck in den Vordergrund holen</translation>
    </message>
    <message>
        <source>The desktop left the hotkey without keys.</source>
        <translation>Die Arbeitsumgebung hat dem Tastenkürzel keine Tasten zugewiesen.</translation>
    </message>
</context>
<context>
    <name>Main</name>
    <message>
        <source>Commands typed in a terminal cannot reach this window: %1.</source>
        <translation>Im Terminal eingegebene Befehle können dieses Fenster nicht erreichen: %1.</translation>
    </message>
</context>
<context>
    <name>Recurrence</name>
    <message>
        <source>Every day</source>
        <translation>Jeden Tag</translation>
    </message>
    <message>
        <source>Every workday</source>
        <translation>Jeden Arbeitstag</translation>
    </message>
    <message>
        <source>Every Sun and Sat</source>
        <translation>Jeden Sa. und So.</translation>
    </message>
    <message>
        <source>Specified days</source>
        <translation>Bestimmte Tage</translation>
    </message>
    <message>
        <source>Once a month</source>
        <translation>Einmal im Monat</translation>
    </message>
    <message>
        <source>Every Sunday and Saturday</source>
        <translation>Jeden Samstag und Sonntag</translation>
    </message>
    <message>
        <source>Specified days of the week...</source>
        <translation>Bestimmte Wochentage...</translation>
    </message>
    <message>
        <source>Once a month...</source>
        <translation>Einmal im Monat...</translation>
    </message>
    <message>
        <source>Last Day</source>
        <translation>Letzter Tag</translation>
    </message>
</context>
<context>
    <name>ReportCharts</name>
    <message>
        <source>%1 planned</source>
        <comment>a category&apos;s planned time</comment>
        <translation>%1 (geplant)</translation>
    </message>
    <message>
        <source>hours</source>
        <translation>Stunden</translation>
    </message>
    <message>
        <source>Planned (pale, left) and done (solid, right) per day</source>
        <translation>Geplant (blass, links) und erledigt (kräftig, rechts) pro Tag</translation>
    </message>
    <message>
        <source>Planned (pale, left) and done (solid, right) per week</source>
        <translation>Geplant (blass, links) und erledigt (kräftig, rechts) pro Woche</translation>
    </message>
    <message>
        <source>Planned (pale, left) and done (solid, right) per month</source>
        <translation>Geplant (blass, links) und erledigt (kräftig, rechts) pro Monat</translation>
    </message>
    <message>
        <source>Done of plan</source>
        <translation>Vom Plan erledigt</translation>
    </message>
    <message>
        <source>Median budget use (finished)</source>
        <translation>Median der Budgetnutzung (abgeschlossene Aufgaben)</translation>
    </message>
    <message>
        <source>Finished with whole budget used</source>
        <translation>Mit vollem Budget abgeschlossen</translation>
    </message>
    <message>
        <source>Budget use per category</source>
        <translation>Budgetnutzung pro Kategorie</translation>
    </message>
</context>
<context>
    <name>ReportText</name>
    <message>
        <source>%1%</source>
        <comment>a share in percent</comment>
        <translation>%1&#xa0;%</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>(keine)</translation>
    </message>
    <message>
        <source>Day</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>Planned</source>
        <translation>Geplant</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Erledigt</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>Abgeschlossen</translation>
    </message>
    <message>
        <source>Left</source>
        <translation>Offen</translation>
    </message>
    <message>
        <source>Total</source>
        <translation>Gesamt</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Done of plan</source>
        <translation>Vom Plan erledigt</translation>
    </message>
    <message>
        <source>Whole budget</source>
        <translation>Volles Budget</translation>
    </message>
    <message>
        <source>Median use</source>
        <translation>Nutzung (Median)</translation>
    </message>
    <message>
        <source>Middle half</source>
        <translation>Mittlere Hälfte</translation>
    </message>
    <message>
        <source>No budget</source>
        <translation>Ohne Budget</translation>
    </message>
</context>
<context>
    <name>SingleInstance</name>
    <message>
        <source>the lock file %1 is a link</source>
        <translation>die Sperrdatei %1 ist eine Verknüpfung</translation>
    </message>
    <message>
        <source>the lock file %1 belongs to another user (uid %2)</source>
        <translation>die Sperrdatei %1 gehört einem anderen Benutzer (UID %2)</translation>
    </message>
    <message>
        <source>the lock file %1 is not a plain file</source>
        <translation>die Sperrdatei %1 ist keine normale Datei</translation>
    </message>
    <message>
        <source>the lock file %1 is open to other users and cannot be replaced: %2</source>
        <translation>die Sperrdatei %1 ist für andere Benutzer zugänglich und kann nicht ersetzt werden: %2</translation>
    </message>
    <message>
        <source>the lock file %1 keeps being replaced</source>
        <translation>die Sperrdatei %1 wird ständig ersetzt</translation>
    </message>
</context>
<context>
    <name>Sql</name>
    <message>
        <source>out of memory</source>
        <translation>nicht genügend Arbeitsspeicher</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>der Datenträger ist voll</translation>
    </message>
</context>
<context>
    <name>SyncEngine</name>
    <message>
        <source>The task database could not be written: %1</source>
        <translation>Die Aufgabendatenbank konnte nicht geschrieben werden: %1</translation>
    </message>
    <message>
        <source>The server did not answer as expected.</source>
        <translation>Der Server hat nicht wie erwartet geantwortet.</translation>
    </message>
</context>
<context>
    <name>SyncProgram</name>
    <message>
        <source>The task list %1 could not be made: %2</source>
        <translation>Die Aufgabenliste %1 konnte nicht angelegt werden: %2</translation>
    </message>
    <message>
        <source>The account has no task lists; make one with --create Chronodeck</source>
        <translation>Das Konto hat keine Aufgabenlisten; legen Sie eine mit --create Chronodeck an</translation>
    </message>
    <message>
        <source>The account has no task list %1. Its task lists:
%2</source>
        <translation>Das Konto hat keine Aufgabenliste %1. Seine Aufgabenlisten:
%2</translation>
    </message>
    <message>
        <source>Choose a task list with --list NAME, or make one with --create NAME. The account&apos;s task lists:
%1</source>
        <translation>Wählen Sie eine Aufgabenliste mit --list NAME oder legen Sie eine mit --create NAME an. Die Aufgabenlisten des Kontos:
%1</translation>
    </message>
    <message>
        <source>%1 is not a server address</source>
        <translation>%1 ist keine Serveradresse</translation>
    </message>
    <message>
        <source>The server address must start with https:// (http:// only for this machine)</source>
        <translation>Die Serveradresse muss mit https:// beginnen (http:// nur für diesen Rechner)</translation>
    </message>
    <message>
        <source>--setup needs --user NAME</source>
        <translation>--setup benötigt --user NAME</translation>
    </message>
    <message>
        <source>--setup needs the password on standard input, with --password-stdin</source>
        <translation>--setup benötigt das Passwort auf der Standardeingabe, mit --password-stdin</translation>
    </message>
    <message>
        <source>Sync is not set up: chronodeck sync --setup URL --user NAME --password-stdin</source>
        <translation>Der Abgleich ist nicht eingerichtet: chronodeck sync --setup URL --user NAME --password-stdin</translation>
    </message>
    <message>
        <source>The keyring holds no password for %1; give it with --password-stdin</source>
        <translation>Der Schlüsselbund enthält kein Passwort für %1; geben Sie es mit --password-stdin an</translation>
    </message>
    <message>
        <source>No keyring answers (%1); give the password with --password-stdin</source>
        <translation>Kein Schlüsselbund antwortet (%1); geben Sie das Passwort mit --password-stdin an</translation>
    </message>
    <message>
        <source>Synced %1: %2 sent, %3 received</source>
        <translation>Abgeglichen um %1: %2 gesendet, %3 empfangen</translation>
    </message>
</context>
<context>
    <name>TaskExport</name>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>iCalendar files (*.ics)</source>
        <translation>iCalendar-Dateien (*.ics)</translation>
    </message>
    <message>
        <source>The tasks could not be exported to &quot;%1&quot;: %2</source>
        <translation>Die Aufgaben konnten nicht nach „%1“ exportiert werden: %2</translation>
    </message>
</context>
<context>
    <name>TaskFile</name>
    <message>
        <source>The task database &quot;%1&quot; is locked by another program. Close the other program (or the other copy of %2) and start %2 again.</source>
        <translation>Die Aufgabendatenbank „%1“ ist durch ein anderes Programm gesperrt. Schließen Sie das andere Programm (oder die andere Instanz von %2) und starten Sie %2 erneut.</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; is not a task database. Restore a backup of the database, or move the file elsewhere so that a new, empty database is created. The file has not been changed.</source>
        <translation>Die Datei „%1“ ist keine Aufgabendatenbank. Stellen Sie eine Sicherung der Datenbank wieder her oder verschieben Sie die Datei an einen anderen Ort, damit eine neue, leere Datenbank angelegt wird. Die Datei wurde nicht verändert.</translation>
    </message>
    <message>
        <source>The task database &quot;%1&quot; cannot be opened: the disk is full. Make room on the disk and start %2 again.</source>
        <translation>Die Aufgabendatenbank „%1“ kann nicht geöffnet werden: Der Datenträger ist voll. Schaffen Sie Platz auf dem Datenträger und starten Sie %2 erneut.</translation>
    </message>
    <message>
        <source>The task database &quot;%1&quot; is damaged. Restore a backup of the database, or move the file elsewhere so that a new, empty database is created. The file has not been changed.</source>
        <translation>Die Aufgabendatenbank „%1“ ist beschädigt. Stellen Sie eine Sicherung der Datenbank wieder her oder verschieben Sie die Datei an einen anderen Ort, damit eine neue, leere Datenbank angelegt wird. Die Datei wurde nicht verändert.</translation>
    </message>
    <message>
        <source>The task database &quot;%1&quot; cannot be opened: %2

Check that the file and its folder can be read and written.</source>
        <translation>Die Aufgabendatenbank „%1“ kann nicht geöffnet werden: %2

Prüfen Sie, ob die Datei und ihr Ordner gelesen und beschrieben werden können.</translation>
    </message>
    <message>
        <source>The task database &quot;%1&quot; can only be read, not written. Make the file and its folder writable and start %2 again.</source>
        <translation>Die Aufgabendatenbank „%1“ kann nur gelesen, aber nicht beschrieben werden. Machen Sie die Datei und ihren Ordner beschreibbar und starten Sie %2 erneut.</translation>
    </message>
    <message>
        <source>The task database cannot be created in the folder &quot;%1&quot;.

Make sure the folder exists, can be written and its disk has free space, then start %2 again.

(%3)</source>
        <translation>Die Aufgabendatenbank kann im Ordner „%1“ nicht angelegt werden.

Stellen Sie sicher, dass der Ordner existiert, beschreibbar ist und auf seinem Datenträger Platz frei ist, und starten Sie %2 dann erneut.

(%3)</translation>
    </message>
    <message>
        <source>the new file cannot be synced</source>
        <translation>die neue Datei kann nicht auf den Datenträger geschrieben werden</translation>
    </message>
    <message>
        <source>Your current database has not been changed.</source>
        <translation>Ihre aktuelle Datenbank wurde nicht verändert.</translation>
    </message>
    <message>
        <source>it holds %1, which %2 never makes</source>
        <translation>sie enthält %1, was %2 nie anlegt</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; is not a %2 database (%3), so it cannot be restored. %4</source>
        <translation>Die Datei „%1“ ist keine %2-Datenbank (%3) und kann daher nicht wiederhergestellt werden. %4</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; is not a %2 database, so it cannot be restored. %3</source>
        <translation>Die Datei „%1“ ist keine %2-Datenbank und kann daher nicht wiederhergestellt werden. %3</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; is damaged, so it cannot be restored. %2</source>
        <translation>Die Datei „%1“ ist beschädigt und kann daher nicht wiederhergestellt werden. %2</translation>
    </message>
    <message>
        <source>The file &quot;%1&quot; cannot be read: %2

%3</source>
        <translation>Die Datei „%1“ kann nicht gelesen werden: %2

%3</translation>
    </message>
    <message>
        <source>the file &quot;%1&quot; cannot be deleted</source>
        <translation>die Datei „%1“ kann nicht gelöscht werden</translation>
    </message>
    <message>
        <source>the file &quot;%1&quot; cannot be replaced: %2</source>
        <translation>die Datei „%1“ kann nicht ersetzt werden: %2</translation>
    </message>
    <message>
        <source>the journal of %1 could not be folded in: the database is in use</source>
        <translation>das Journal von %1 konnte nicht übernommen werden: Die Datenbank wird gerade verwendet</translation>
    </message>
</context>
<context>
    <name>TaskSchema</name>
    <message>
        <source>Work</source>
        <translation>Arbeit</translation>
    </message>
    <message>
        <source>Personal</source>
        <translation>Privat</translation>
    </message>
    <message>
        <source>Chore</source>
        <translation>Haushalt</translation>
    </message>
    <message>
        <source>Health</source>
        <translation>Gesundheit</translation>
    </message>
    <message>
        <source>Social</source>
        <translation>Soziales</translation>
    </message>
    <message>
        <source>Family</source>
        <translation>Familie</translation>
    </message>
    <message>
        <source>Relaxation</source>
        <translation>Entspannung</translation>
    </message>
    <message>
        <source>Self Growth</source>
        <translation>Weiterbildung</translation>
    </message>
</context>
<context>
    <name>TaskStore</name>
    <message>
        <source>The task cannot be stored: it does not belong to any list.</source>
        <translation>Die Aufgabe kann nicht gespeichert werden: Sie gehört zu keiner Liste.</translation>
    </message>
    <message>
        <source>The task state %1 cannot be stored: it must lie between -32768 and 32767.</source>
        <translation>Der Status %1 kann nicht gespeichert werden: Er muss zwischen -32768 und 32767 liegen.</translation>
    </message>
    <message>
        <source>The priority %1 cannot be stored: it must lie between -32768 and 32767.</source>
        <translation>Die Priorität %1 kann nicht gespeichert werden: Sie muss zwischen -32768 und 32767 liegen.</translation>
    </message>
    <message>
        <source>The change was not stored because a value lies outside what the task database accepts.

%1</source>
        <translation>Die Änderung wurde nicht gespeichert, weil ein Wert außerhalb dessen liegt, was die Aufgabendatenbank annimmt.

%1</translation>
    </message>
    <message>
        <source>The task database &quot;%1&quot; cannot be used: %2</source>
        <translation>Die Aufgabendatenbank „%1“ kann nicht verwendet werden: %2</translation>
    </message>
    <message>
        <source>the task database is not open</source>
        <translation>die Aufgabendatenbank ist nicht geöffnet</translation>
    </message>
    <message>
        <source>The task database is not open.</source>
        <translation>Die Aufgabendatenbank ist nicht geöffnet.</translation>
    </message>
    <message>
        <source>The list &quot;%1&quot; already holds a task with the highest possible number (32767), so no further task can be added to it.</source>
        <translation>Die Liste „%1“ enthält bereits eine Aufgabe mit der höchstmöglichen Nummer (32767), daher können ihr keine weiteren Aufgaben hinzugefügt werden.</translation>
    </message>
    <message>
        <source>A category already has the highest possible number (32767), so no further category can be added.</source>
        <translation>Eine Kategorie hat bereits die höchstmögliche Nummer (32767), daher können keine weiteren Kategorien hinzugefügt werden.</translation>
    </message>
    <message>
        <source>A sync record without a UID cannot be stored.</source>
        <translation>Ein Abgleichseintrag ohne UID kann nicht gespeichert werden.</translation>
    </message>
</context>
<context>
    <name>Vocabulary</name>
    <message>
        <source>Very Low</source>
        <translation>Sehr niedrig</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Niedrig</translation>
    </message>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Hoch</translation>
    </message>
    <message>
        <source>Very High</source>
        <translation>Sehr hoch</translation>
    </message>
    <message>
        <source>Urgent</source>
        <translation>Dringend</translation>
    </message>
    <message>
        <source>Not Started</source>
        <translation>Nicht begonnen</translation>
    </message>
    <message>
        <source>In Progress</source>
        <translation>In Bearbeitung</translation>
    </message>
    <message>
        <source>Pending</source>
        <translation>Wartet</translation>
    </message>
    <message>
        <source>Delayed</source>
        <translation>Verschoben</translation>
    </message>
    <message>
        <source>Finished</source>
        <translation>Erledigt</translation>
    </message>
</context>
<context>
    <name>WindowServices</name>
    <message>
        <source>An error has occured while copying data to clipboard.</source>
        <translation>Beim Kopieren der Daten in die Zwischenablage ist ein Fehler aufgetreten.</translation>
    </message>
</context>
<context>
    <name>cdk::AddTaskDialog</name>
    <message>
        <source>The time allocated is too long to be stored. A task can be given at most %1 hours and %2 minutes.</source>
        <translation>Das Zeitbudget ist zu groß, um gespeichert zu werden. Eine Aufgabe kann höchstens %1 Stunden und %2 Minuten erhalten.</translation>
    </message>
    <message>
        <source>Add Task</source>
        <translation>Aufgabe hinzufügen</translation>
    </message>
    <message>
        <source>Edit Task</source>
        <translation>Aufgabe bearbeiten</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>(keine)</translation>
    </message>
    <message>
        <source>Add Recurrent Task</source>
        <translation>Wiederkehrende Aufgabe hinzufügen</translation>
    </message>
    <message>
        <source>The task could not be saved.</source>
        <translation>Die Aufgabe konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>You are currently time tracking this task. Are you sure want to change it?</source>
        <translation>Für diese Aufgabe läuft gerade die Zeiterfassung. Möchten Sie sie wirklich ändern?</translation>
    </message>
    <message>
        <source>&amp;Subject:</source>
        <translation>&amp;Betreff:</translation>
    </message>
    <message>
        <source>Hours allocated</source>
        <translation>Stunden des Zeitbudgets</translation>
    </message>
    <message>
        <source>Minutes allocated</source>
        <translation>Minuten des Zeitbudgets</translation>
    </message>
    <message>
        <source>hour(s) and</source>
        <translation>Stunde(n) und</translation>
    </message>
    <message>
        <source>minutes</source>
        <translation>Minuten</translation>
    </message>
    <message>
        <source>&amp;Time Allocated:</source>
        <translation>&amp;Zeitbudget:</translation>
    </message>
    <message>
        <source>Categories</source>
        <translation>Kategorien</translation>
    </message>
    <message>
        <source>&amp;Category:</source>
        <translation>&amp;Kategorie:</translation>
    </message>
    <message>
        <source>Tas&amp;k State:</source>
        <translation>&amp;Status:</translation>
    </message>
    <message>
        <source>&amp;Priority:</source>
        <translation>&amp;Priorität:</translation>
    </message>
    <message>
        <source>Start The &amp;Task Timer Now</source>
        <translation>Zeiterfassung sofort sta&amp;rten</translation>
    </message>
    <message>
        <source>Ot&amp;her Options:</source>
        <translation>&amp;Weitere Optionen:</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>C&amp;ancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Manage Categories</source>
        <translation>Kategorien verwalten</translation>
    </message>
</context>
<context>
    <name>cdk::AlertPopup</name>
    <message>
        <source>Chronodeck:</source>
        <translation>Chronodeck:</translation>
    </message>
</context>
<context>
    <name>cdk::Application</name>
    <message>
        <source>Chronodeck already runs for the data folder %1, but that copy does not answer.<byte value="xd"/>
<byte value="xd"/>
Wait until it has finished what it is doing, or end it, and start Chronodeck again.</source>
        <translation>Chronodeck läuft bereits für den Datenordner %1, aber diese Instanz antwortet nicht.<byte value="xd"/>
<byte value="xd"/>
Warten Sie, bis sie ihre laufende Arbeit abgeschlossen hat, oder beenden Sie sie, und starten Sie Chronodeck dann erneut.</translation>
    </message>
    <message>
        <source>Chronodeck cannot tell whether it already runs for the data folder %1: %2.</source>
        <translation>Chronodeck kann nicht feststellen, ob es bereits für den Datenordner %1 läuft: %2.</translation>
    </message>
    <message>
        <source>The task database %1 could not be opened.<byte value="xd"/>
<byte value="xd"/>
%2</source>
        <translation>Die Aufgabendatenbank %1 konnte nicht geöffnet werden.<byte value="xd"/>
<byte value="xd"/>
%2</translation>
    </message>
</context>
<context>
    <name>cdk::AwayDialog</name>
    <message>
        <source>Keep the time</source>
        <translation>Zeit behalten</translation>
    </message>
    <message>
        <source>Discard it</source>
        <translation>Verwerfen</translation>
    </message>
    <message>
        <source>Discard it and stop tracking</source>
        <translation>Verwerfen und Zeiterfassung beenden</translation>
    </message>
    <message numerus="yes">
        <source>%n minutes</source>
        <translation>
            <numerusform>%n Minute</numerusform>
            <numerusform>%n Minuten</numerusform>
        </translation>
    </message>
    <message>
        <source>You were away from %1 to %2 (%3) while tracking %4.</source>
        <translation>Während der Zeiterfassung für %4 waren Sie von %1 bis %2 (%3) abwesend.</translation>
    </message>
</context>
<context>
    <name>cdk::BatchModifyDialog</name>
    <message>
        <source>hour(s) and</source>
        <translation>Stunde(n) und</translation>
    </message>
    <message>
        <source>minutes</source>
        <translation>Minuten</translation>
    </message>
    <message>
        <source>The day the tasks move to</source>
        <translation>Der Tag, auf den die Aufgaben verschoben werden</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>C&amp;ancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>The categories could not be read.</source>
        <translation>Die Kategorien konnten nicht gelesen werden.</translation>
    </message>
    <message>
        <source>The tasks could not be changed; they are as they were.</source>
        <translation>Die Aufgaben konnten nicht geändert werden; sie sind unverändert.</translation>
    </message>
</context>
<context>
    <name>cdk::BudgetWarning</name>
    <message numerus="yes">
        <source>%n minutes left for %1</source>
        <translation>
            <numerusform>Noch %n Minute für „%1“</numerusform>
            <numerusform>Noch %n Minuten für „%1“</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>cdk::CategoriesDialog</name>
    <message>
        <source>Manage Categories</source>
        <translation>Kategorien verwalten</translation>
    </message>
    <message>
        <source>Categories</source>
        <translation>Kategorien</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <source>Categories:</source>
        <translation>Kategorien:</translation>
    </message>
    <message>
        <source>&amp;Add New Category...</source>
        <translation>Kategorie &amp;hinzufügen...</translation>
    </message>
    <message>
        <source>&amp;Edit Category...</source>
        <translation>Kategorie &amp;bearbeiten...</translation>
    </message>
    <message>
        <source>&amp;Delete Category</source>
        <translation>Kategorie &amp;löschen</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>Category Name:</source>
        <translation>Name der Kategorie:</translation>
    </message>
    <message>
        <source>&amp;Default</source>
        <translation>&amp;Standard</translation>
    </message>
    <message>
        <source>De&amp;fault</source>
        <translation>Stan&amp;dard</translation>
    </message>
    <message>
        <source>&amp;Pick Color...</source>
        <translation>&amp;Farbe wählen...</translation>
    </message>
    <message>
        <source>P&amp;ick Color...</source>
        <translation>Fa&amp;rbe wählen...</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>C&amp;ancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Background Color:</source>
        <translation>Hintergrundfarbe:</translation>
    </message>
    <message>
        <source>Fore Color:</source>
        <translation>Textfarbe:</translation>
    </message>
    <message>
        <source>Color Preview:</source>
        <translation>Farbvorschau:</translation>
    </message>
    <message>
        <source>The categories could not be read.</source>
        <translation>Die Kategorien konnten nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Add New Category</source>
        <translation>Neue Kategorie hinzufügen</translation>
    </message>
    <message>
        <source>Edit Task Category</source>
        <translation>Aufgabenkategorie bearbeiten</translation>
    </message>
    <message>
        <source>Error, can not find the category to be edited!</source>
        <translation>Fehler: Die zu bearbeitende Kategorie wurde nicht gefunden.</translation>
    </message>
    <message>
        <source>Please specify the name of category!</source>
        <translation>Bitte geben Sie einen Namen für die Kategorie ein.</translation>
    </message>
    <message>
        <source>The category could not be saved.</source>
        <translation>Die Kategorie konnte nicht gespeichert werden.</translation>
    </message>
    <message>
        <source>The category could not be deleted.</source>
        <translation>Die Kategorie konnte nicht gelöscht werden.</translation>
    </message>
    <message>
        <source>Do you really want to delete %1 category?</source>
        <translation>Möchten Sie die Kategorie „%1“ wirklich löschen?</translation>
    </message>
</context>
<context>
    <name>cdk::DatePicker</name>
    <message>
        <source>The day shown: click for a calendar, arrow keys step a day</source>
        <translation>Der angezeigte Tag: Ein Klick öffnet den Kalender, die Pfeiltasten blättern tageweise</translation>
    </message>
    <message>
        <source>ddd, d MMM yyyy</source>
        <comment>date format of the day shown; see QDate::toString</comment>
        <translation>ddd, d. MMM yyyy</translation>
    </message>
    <message>
        <source>Day shown: %1</source>
        <translation>Angezeigter Tag: %1</translation>
    </message>
    <message>
        <source>dddd, d MMMM yyyy</source>
        <comment>date format read out; see QDate::toString</comment>
        <translation>dddd, d. MMMM yyyy</translation>
    </message>
    <message>
        <source>Previous month</source>
        <translation>Vorheriger Monat</translation>
    </message>
    <message>
        <source>Next month</source>
        <translation>Nächster Monat</translation>
    </message>
</context>
<context>
    <name>cdk::MainWindow</name>
    <message>
        <source>Manage Projects</source>
        <translation>Projekte verwalten</translation>
    </message>
    <message>
        <source>Add New Task</source>
        <translation>Neue Aufgabe hinzufügen</translation>
    </message>
    <message>
        <source>Edit Selected Task</source>
        <translation>Ausgewählte Aufgabe bearbeiten</translation>
    </message>
    <message>
        <source>Delete Selected Task</source>
        <translation>Ausgewählte Aufgabe löschen</translation>
    </message>
    <message>
        <source>Start time tracking the selected task</source>
        <translation>Zeiterfassung für die ausgewählte Aufgabe starten</translation>
    </message>
    <message>
        <source>Stop time tracking</source>
        <translation>Zeiterfassung beenden</translation>
    </message>
    <message>
        <source>Finish the task and stop time tracking</source>
        <translation>Aufgabe abschließen und Zeiterfassung beenden</translation>
    </message>
    <message>
        <source>Manage Categories</source>
        <translation>Kategorien verwalten</translation>
    </message>
    <message>
        <source>Display Settings</source>
        <translation>Einstellungen anzeigen</translation>
    </message>
    <message>
        <source>Move to the previous day</source>
        <translation>Zum vorherigen Tag wechseln</translation>
    </message>
    <message>
        <source>Move to the next day</source>
        <translation>Zum nächsten Tag wechseln</translation>
    </message>
    <message>
        <source>View Today&apos;s Task List</source>
        <translation>Heutige Aufgabenliste anzeigen</translation>
    </message>
    <message>
        <source>Sync: %1</source>
        <translation>Abgleich: %1</translation>
    </message>
    <message>
        <source>&amp;Duration</source>
        <translation>&amp;Budget</translation>
    </message>
    <message>
        <source>&amp;Time Done</source>
        <translation>&amp;Erledigte Zeit</translation>
    </message>
    <message>
        <source>P&amp;ercent Done</source>
        <translation>Pro&amp;zent erledigt</translation>
    </message>
    <message>
        <source>&amp;Status</source>
        <translation>&amp;Status</translation>
    </message>
    <message>
        <source>&amp;Category</source>
        <translation>&amp;Kategorie</translation>
    </message>
    <message>
        <source>&amp;Priority</source>
        <translation>&amp;Priorität</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>&amp;Task</source>
        <translation>&amp;Aufgabe</translation>
    </message>
    <message>
        <source>&amp;Batch Modify</source>
        <translation>&amp;Stapelbearbeitung</translation>
    </message>
    <message>
        <source>&amp;State</source>
        <translation>&amp;Status</translation>
    </message>
    <message>
        <source>T&amp;ime Tracking</source>
        <translation>&amp;Zeiterfassung</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>Currently selected:</source>
        <translation>Aktuell ausgewählt:</translation>
    </message>
    <message>
        <source>Time done of the day&apos;s budget</source>
        <translation>Erledigte Zeit vom Zeitbudget des Tages</translation>
    </message>
    <message>
        <source>The tasks of the day shown cannot be read, so the list is empty for now.</source>
        <translation>Die Aufgaben des angezeigten Tages können nicht gelesen werden. Die Liste bleibt daher vorerst leer.</translation>
    </message>
    <message>
        <source>Show this task</source>
        <translation>Diese Aufgabe anzeigen</translation>
    </message>
</context>
<context>
    <name>cdk::RecurrenceBox</name>
    <message>
        <source>&amp;Monday</source>
        <translation>&amp;Montag</translation>
    </message>
    <message>
        <source>&amp;Tuesday</source>
        <translation>&amp;Dienstag</translation>
    </message>
    <message>
        <source>&amp;Wednesday</source>
        <translation>Mittwo&amp;ch</translation>
    </message>
    <message>
        <source>Th&amp;ursday</source>
        <translation>Donn&amp;erstag</translation>
    </message>
    <message>
        <source>&amp;Friday</source>
        <translation>&amp;Freitag</translation>
    </message>
    <message>
        <source>S&amp;aturday</source>
        <translation>Samsta&amp;g</translation>
    </message>
    <message>
        <source>Su&amp;nday</source>
        <translation>So&amp;nntag</translation>
    </message>
    <message>
        <source>&amp;Recurrence:</source>
        <translation>Wieder&amp;holung:</translation>
    </message>
    <message>
        <source>&amp;Specified days</source>
        <translation>Bestimmte &amp;Tage</translation>
    </message>
    <message>
        <source>&amp;Day of the month</source>
        <translation>Tag &amp;im Monat</translation>
    </message>
    <message>
        <source>Select the day of the month:</source>
        <translation>Wählen Sie den Tag im Monat:</translation>
    </message>
</context>
<context>
    <name>cdk::RecurrentTasksDialog</name>
    <message>
        <source>Recurrent Tasks</source>
        <translation>Wiederkehrende Aufgaben</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Recurrence</source>
        <translation>Wiederholung</translation>
    </message>
    <message>
        <source>Recurrent Tasks:</source>
        <translation>Wiederkehrende Aufgaben:</translation>
    </message>
    <message>
        <source>&amp;Add New...</source>
        <translation>&amp;Hinzufügen...</translation>
    </message>
    <message>
        <source>&amp;Edit...</source>
        <translation>&amp;Bearbeiten...</translation>
    </message>
    <message>
        <source>&amp;Delete</source>
        <translation>&amp;Löschen</translation>
    </message>
    <message>
        <source>C&amp;lose</source>
        <translation>S&amp;chließen</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>(keine)</translation>
    </message>
    <message>
        <source>The recurrent tasks could not be read.</source>
        <translation>Die wiederkehrenden Aufgaben konnten nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Do you really want to delete the selected recurrent task?</source>
        <translation>Möchten Sie die ausgewählte wiederkehrende Aufgabe wirklich löschen?</translation>
    </message>
    <message>
        <source>The recurrent task could not be deleted.</source>
        <translation>Die wiederkehrende Aufgabe konnte nicht gelöscht werden.</translation>
    </message>
</context>
<context>
    <name>cdk::ReportsWindow</name>
    <message>
        <source>Reports - Chronodeck</source>
        <translation>Berichte - Chronodeck</translation>
    </message>
    <message>
        <source>Day</source>
        <translation>Tag</translation>
    </message>
    <message>
        <source>Week</source>
        <translation>Woche</translation>
    </message>
    <message>
        <source>Month</source>
        <translation>Monat</translation>
    </message>
    <message>
        <source>Range</source>
        <translation>Freier Zeitraum</translation>
    </message>
    <message>
        <source>Previous period</source>
        <translation>Vorheriger Zeitraum</translation>
    </message>
    <message>
        <source>Next period</source>
        <translation>Nächster Zeitraum</translation>
    </message>
    <message>
        <source>Export &amp;CSV...</source>
        <translation>Als &amp;CSV exportieren …</translation>
    </message>
    <message>
        <source>Export &amp;iCalendar...</source>
        <translation>Als &amp;iCalendar exportieren …</translation>
    </message>
    <message>
        <source>Period:</source>
        <translation>Zeitraum:</translation>
    </message>
    <message>
        <source>to</source>
        <comment>from one date to another</comment>
        <translation>bis</translation>
    </message>
    <message>
        <source>&amp;Days</source>
        <translation>&amp;Tage</translation>
    </message>
    <message>
        <source>C&amp;ategories</source>
        <translation>&amp;Kategorien</translation>
    </message>
    <message>
        <source>The tasks could not be read: %1</source>
        <translation>Die Aufgaben konnten nicht gelesen werden: %1</translation>
    </message>
    <message>
        <source>No tasks in this period.</source>
        <translation>Keine Aufgaben in diesem Zeitraum.</translation>
    </message>
    <message>
        <source>Planned %1, done %2 (%3), %4 finished, %5 left</source>
        <translation>Geplant %1, erledigt %2 (%3), %4 abgeschlossen, %5 offen</translation>
    </message>
    <message>
        <source>No time planned or done in this period: every task has a budget of 0 minutes.</source>
        <translation>In diesem Zeitraum wurde keine Zeit geplant oder erledigt: Jede Aufgabe hat ein Zeitbudget von 0 Minuten.</translation>
    </message>
    <message>
        <source>Chronodeck %1</source>
        <comment>file name of a day&apos;s export</comment>
        <translation>Chronodeck %1</translation>
    </message>
    <message>
        <source>Chronodeck %1 to %2</source>
        <comment>file name of a period&apos;s export</comment>
        <translation>Chronodeck %1 bis %2</translation>
    </message>
    <message>
        <source>Error - Chronodeck</source>
        <translation>Fehler - Chronodeck</translation>
    </message>
    <message>
        <source>First day</source>
        <translation>Erster Tag</translation>
    </message>
    <message>
        <source>Last day</source>
        <translation>Letzter Tag</translation>
    </message>
    <message>
        <source>Figures by category</source>
        <translation>Zahlen nach Kategorie</translation>
    </message>
    <message>
        <source>Figures by day</source>
        <translation>Zahlen nach Tag</translation>
    </message>
</context>
<context>
    <name>cdk::ReviewDayDialog</name>
    <message>
        <source>Review the Day</source>
        <translation>Tagesrückblick</translation>
    </message>
    <message>
        <source>Nothing left to review today.</source>
        <translation>Für heute ist nichts mehr offen.</translation>
    </message>
    <message>
        <source>&amp;Apply</source>
        <translation>&amp;Anwenden</translation>
    </message>
    <message>
        <source>C&amp;ancel</source>
        <translation>Abb&amp;rechen</translation>
    </message>
    <message>
        <source>Today&apos;s tasks could not be read.</source>
        <translation>Die heutigen Aufgaben konnten nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Review the Day: %1</source>
        <translation>Tagesrückblick: %1</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>Task</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>Done / Budget</source>
        <translation>Erledigt / Budget</translation>
    </message>
    <message>
        <source>Then</source>
        <translation>Danach</translation>
    </message>
    <message>
        <source>Move to tomorrow</source>
        <extracomment>Choice for an unfinished task. The three choices should start with different letters: typing one picks its entry.</extracomment>
        <translation>Auf morgen verschieben</translation>
    </message>
    <message>
        <source>Keep</source>
        <extracomment>Choice for an unfinished task: it stays on today&apos;s list.</extracomment>
        <translation>Behalten</translation>
    </message>
    <message>
        <source>Finish</source>
        <extracomment>Choice for an unfinished task: it is marked finished.</extracomment>
        <translation>Erledigen</translation>
    </message>
    <message>
        <source>The review could not be applied; your tasks are unchanged.</source>
        <translation>Der Tagesrückblick konnte nicht angewendet werden; Ihre Aufgaben sind unverändert.</translation>
    </message>
    <message>
        <source>Unfinished tasks</source>
        <translation>Unerledigte Aufgaben</translation>
    </message>
</context>
<context>
    <name>cdk::SettingsDialog</name>
    <message>
        <source>None</source>
        <comment>no key</comment>
        <translation>Keine</translation>
    </message>
    <message>
        <source>HOME</source>
        <comment>key</comment>
        <translation>POS1</translation>
    </message>
    <message>
        <source>INSERT</source>
        <comment>key</comment>
        <translation>EINFG</translation>
    </message>
    <message>
        <source>PAGE DOWN</source>
        <comment>key</comment>
        <translation>BILD AB</translation>
    </message>
    <message>
        <source>PAGE UP</source>
        <comment>key</comment>
        <translation>BILD AUF</translation>
    </message>
    <message>
        <source>END</source>
        <comment>key</comment>
        <translation>ENDE</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <source>&amp;General</source>
        <translation>&amp;Allgemein</translation>
    </message>
    <message>
        <source>&amp;Task List View</source>
        <translation>Aufgaben&amp;liste</translation>
    </message>
    <message>
        <source>&amp;Sounds</source>
        <translation>&amp;Klänge</translation>
    </message>
    <message>
        <source>Trac&amp;king</source>
        <translation>&amp;Zeiterfassung</translation>
    </message>
    <message>
        <source>&amp;OK</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Start at logon</source>
        <translation>Start bei der Anmeldung</translation>
    </message>
    <message>
        <source>Start &amp;Chronodeck For Current User at System Startup</source>
        <translation>&amp;Chronodeck beim Systemstart für den aktuellen Benutzer starten</translation>
    </message>
    <message>
        <source>Start Chronodeck &amp;For All Users at System Startup</source>
        <translation>Chronodeck beim Systemstart für alle &amp;Benutzer starten</translation>
    </message>
    <message>
        <source>&amp;Do Not Start Chronodeck at Windows Startup</source>
        <translation>Chronodeck beim Systemstart &amp;nicht starten</translation>
    </message>
    <message>
        <source>Global hotkey</source>
        <translation>Globales Tastenkürzel</translation>
    </message>
    <message>
        <source>&amp;Use the following hotkey</source>
        <translation>Folgendes Tastenkürzel &amp;verwenden</translation>
    </message>
    <message>
        <source>&amp;Control</source>
        <comment>modifier key</comment>
        <translation>&amp;Strg</translation>
    </message>
    <message>
        <source>&amp;Alt</source>
        <comment>modifier key</comment>
        <translation>Al&amp;t</translation>
    </message>
    <message>
        <source>S&amp;hift</source>
        <comment>modifier key</comment>
        <translation>&amp;Umschalt</translation>
    </message>
    <message>
        <source>&amp;Win</source>
        <comment>modifier key</comment>
        <translation>&amp;Win</translation>
    </message>
    <message>
        <source>&amp;Display Done Tasks Always At The End</source>
        <translation>&amp;Erledigte Aufgaben immer am Ende anzeigen</translation>
    </message>
    <message>
        <source>Hide &amp;Gridlines</source>
        <translation>&amp;Gitterlinien ausblenden</translation>
    </message>
    <message>
        <source>Disable Task &amp;Coloring</source>
        <translation>Aufgaben nicht ein&amp;färben</translation>
    </message>
    <message>
        <source>&amp;Mark Tasks 100% Done When Checked Off</source>
        <translation>Abgehakte Aufgaben als zu 100 % erledigt &amp;markieren</translation>
    </message>
    <message>
        <source>&amp;Font size:</source>
        <translation>&amp;Schriftgröße:</translation>
    </message>
    <message>
        <source>&amp;Play Custom WAV Sound When Task Is Finished</source>
        <translation>&amp;Eigenen WAV-Klang abspielen, wenn eine Aufgabe erledigt ist</translation>
    </message>
    <message>
        <source>(no sound selected)</source>
        <translation>(kein Klang ausgewählt)</translation>
    </message>
    <message>
        <source>&amp;Browse...</source>
        <translation>&amp;Durchsuchen …</translation>
    </message>
    <message>
        <source>Play</source>
        <translation>Abspielen</translation>
    </message>
    <message>
        <source>This desktop gives Chronodeck no global hotkeys.</source>
        <translation>Diese Arbeitsumgebung stellt Chronodeck keine globalen Tastenkürzel zur Verfügung.</translation>
    </message>
    <message>
        <source>Keys the desktop bound to the hotkey: %1</source>
        <translation>Von der Arbeitsumgebung zugewiesene Tasten: %1</translation>
    </message>
    <message>
        <source>Selected file does not exist!</source>
        <translation>Die ausgewählte Datei existiert nicht.</translation>
    </message>
    <message>
        <source>Unable to register the specified hotkey. It is probably used by another application.<byte value="xd"/>
<byte value="xd"/>
Would you like to change it now?</source>
        <translation>Das angegebene Tastenkürzel kann nicht registriert werden. Vermutlich wird es bereits von einer anderen Anwendung verwendet.<byte value="xd"/>
<byte value="xd"/>
Möchten Sie es jetzt ändern?</translation>
    </message>
</context>
<context>
    <name>cdk::SyncDialog</name>
    <message>
        <source>Sync</source>
        <translation>Abgleich</translation>
    </message>
    <message>
        <source>Chronodeck keeps its tasks in a task list of your CalDAV server (Nextcloud, Radicale, Baikal, Fastmail, iCloud), where your other computers and your phone&apos;s tasks app find them.</source>
        <translation>Chronodeck speichert seine Aufgaben in einer Aufgabenliste Ihres CalDAV-Servers (Nextcloud, Radicale, Baikal, Fastmail, iCloud), wo Ihre anderen Computer und die Aufgaben-App Ihres Telefons sie finden.</translation>
    </message>
    <message>
        <source>kept in the desktop&apos;s keyring</source>
        <translation>im Schlüsselbund gespeichert</translation>
    </message>
    <message>
        <source>&amp;Server address:</source>
        <translation>Ser&amp;veradresse:</translation>
    </message>
    <message>
        <source>&amp;User name:</source>
        <translation>&amp;Benutzername:</translation>
    </message>
    <message>
        <source>&amp;Password:</source>
        <translation>&amp;Passwort:</translation>
    </message>
    <message>
        <source>&amp;Task list:</source>
        <translation>&amp;Aufgabenliste:</translation>
    </message>
    <message>
        <source>S&amp;ign In</source>
        <translation>A&amp;nmelden</translation>
    </message>
    <message>
        <source>Sync &amp;Now</source>
        <translation>&amp;Jetzt abgleichen</translation>
    </message>
    <message>
        <source>State: %1</source>
        <translation>Status: %1</translation>
    </message>
    <message>
        <source>The list synced now</source>
        <translation>Die zurzeit abgeglichene Liste</translation>
    </message>
    <message>
        <source>Find the account&apos;s task lists</source>
        <translation>Aufgabenlisten des Kontos suchen</translation>
    </message>
    <message>
        <source>Make a new list &quot;%1&quot;</source>
        <translation>Neue Liste „%1“ anlegen</translation>
    </message>
    <message>
        <source>No keyring keeps the password of %1: enter it and press Sign In. It is kept until Chronodeck ends.</source>
        <translation>Kein Schlüsselbund bewahrt das Passwort von %1 auf: Geben Sie es ein und klicken Sie auf „Anmelden“. Chronodeck merkt es sich, bis es beendet wird.</translation>
    </message>
</context>
<context>
    <name>cdk::SyncRunner</name>
    <message>
        <source>Not set up</source>
        <translation>Nicht eingerichtet</translation>
    </message>
    <message>
        <source>Not synced yet</source>
        <translation>Noch nicht abgeglichen</translation>
    </message>
    <message>
        <source>Syncing...</source>
        <translation>Abgleich läuft …</translation>
    </message>
    <message>
        <source>Sync unavailable</source>
        <translation>Abgleich nicht verfügbar</translation>
    </message>
    <message>
        <source>Sync failed</source>
        <translation>Abgleich fehlgeschlagen</translation>
    </message>
    <message>
        <source>Sign-in refused</source>
        <translation>Anmeldung abgelehnt</translation>
    </message>
    <message>
        <source>Certificate not trusted</source>
        <translation>Zertifikat nicht vertrauenswürdig</translation>
    </message>
    <message>
        <source>Password needed</source>
        <translation>Passwort erforderlich</translation>
    </message>
    <message>
        <source>Synced %1</source>
        <comment>the time of the last sync</comment>
        <translation>Abgeglichen um %1</translation>
    </message>
    <message numerus="yes">
        <source>Offline: %n changes waiting</source>
        <translation>
            <numerusform>Offline: %n Änderung wartet</numerusform>
            <numerusform>Offline: %n Änderungen warten</numerusform>
        </translation>
    </message>
    <message>
        <source>A sync is running; try again in a moment.</source>
        <translation>Ein Abgleich läuft bereits; versuchen Sie es gleich noch einmal.</translation>
    </message>
    <message>
        <source>The sync program %1 could not be started: %2</source>
        <translation>Das Abgleichprogramm %1 konnte nicht gestartet werden: %2</translation>
    </message>
    <message>
        <source>The sync program ended without an answer.</source>
        <translation>Das Abgleichprogramm wurde ohne Antwort beendet.</translation>
    </message>
</context>
<context>
    <name>cdk::TaskCommands</name>
    <message>
        <source>Und&amp;o</source>
        <translation>Rück&amp;gängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederholen</translation>
    </message>
    <message>
        <source>&amp;Add New Task...</source>
        <translation>Neue Aufgabe &amp;hinzufügen …</translation>
    </message>
    <message>
        <source>&amp;Edit Task...</source>
        <translation>Aufgabe &amp;bearbeiten …</translation>
    </message>
    <message>
        <source>&amp;Delete Task</source>
        <translation>Aufgabe &amp;löschen</translation>
    </message>
    <message>
        <source>&amp;Manage Task Categories...</source>
        <translation>&amp;Kategorien verwalten …</translation>
    </message>
    <message>
        <source>Manage &amp;Recurrent Tasks...</source>
        <translation>&amp;Wiederkehrende Aufgaben verwalten …</translation>
    </message>
    <message>
        <source>&amp;Mark Finished</source>
        <translation>Als &amp;erledigt markieren</translation>
    </message>
    <message>
        <source>Mark &amp;Unfinished</source>
        <translation>Als &amp;unerledigt markieren</translation>
    </message>
    <message>
        <source>&amp;Not Started</source>
        <translation>&amp;Nicht begonnen</translation>
    </message>
    <message>
        <source>&amp;In Progress</source>
        <translation>&amp;In Bearbeitung</translation>
    </message>
    <message>
        <source>&amp;Pending</source>
        <translation>&amp;Wartet</translation>
    </message>
    <message>
        <source>&amp;Delayed</source>
        <translation>&amp;Verschoben</translation>
    </message>
    <message>
        <source>&amp;Finished</source>
        <translation>&amp;Erledigt</translation>
    </message>
    <message>
        <source>&amp;Urgent</source>
        <translation>&amp;Dringend</translation>
    </message>
    <message>
        <source>&amp;Very High</source>
        <translation>Sehr &amp;hoch</translation>
    </message>
    <message>
        <source>&amp;High</source>
        <translation>H&amp;och</translation>
    </message>
    <message>
        <source>&amp;Normal</source>
        <translation>&amp;Normal</translation>
    </message>
    <message>
        <source>&amp;Low</source>
        <translation>N&amp;iedrig</translation>
    </message>
    <message>
        <source>&amp;Very Low</source>
        <translation>&amp;Sehr niedrig</translation>
    </message>
    <message>
        <source>&amp;Category..</source>
        <translation>&amp;Kategorie …</translation>
    </message>
    <message>
        <source>&amp;Time Finished..</source>
        <translation>&amp;Erledigte Zeit …</translation>
    </message>
    <message>
        <source>&amp;Reset Timer</source>
        <translation>Erledigte Zeit &amp;zurücksetzen</translation>
    </message>
    <message>
        <source>Move Task(s) To &amp;Next Day</source>
        <translation>Aufgabe(n) auf &amp;nächsten Tag verschieben</translation>
    </message>
    <message>
        <source>Move Task(s) To &amp;Previous Day</source>
        <translation>Aufgabe(n) auf &amp;vorherigen Tag verschieben</translation>
    </message>
    <message>
        <source>Mo&amp;ve Task(s) To Any Day..</source>
        <translation>Aufgabe(n) auf beliebigen &amp;Tag verschieben …</translation>
    </message>
    <message>
        <source>Review the Da&amp;y...</source>
        <translation>Tages&amp;rückblick …</translation>
    </message>
    <message>
        <source>Und&amp;o %1</source>
        <translation>Rück&amp;gängig: %1</translation>
    </message>
    <message>
        <source>Redo %1</source>
        <translation>Wiederholen: %1</translation>
    </message>
    <message>
        <source>The change could not be taken back; your tasks are unchanged.</source>
        <translation>Die Änderung konnte nicht zurückgenommen werden. Ihre Aufgaben sind unverändert.</translation>
    </message>
    <message>
        <source>Starting time tracking failed; your tasks are unchanged.</source>
        <translation>Die Zeiterfassung konnte nicht gestartet werden. Ihre Aufgaben sind unverändert.</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to delete %n selected tasks?</source>
        <translation>
            <numerusform>Möchten Sie die ausgewählte Aufgabe wirklich löschen?</numerusform>
            <numerusform>Möchten Sie die %n ausgewählten Aufgaben wirklich löschen?</numerusform>
        </translation>
    </message>
    <message>
        <source>Delete Task</source>
        <translation>Aufgabe löschen</translation>
    </message>
    <message>
        <source>Deleting the task failed; your tasks are unchanged.</source>
        <translation>Die Aufgabe konnte nicht gelöscht werden. Ihre Aufgaben sind unverändert.</translation>
    </message>
    <message>
        <source>Do you want to stop time tracking this task?</source>
        <translation>Möchten Sie die Zeiterfassung für diese Aufgabe beenden?</translation>
    </message>
    <message>
        <source>Changing the tasks failed; your tasks are unchanged.</source>
        <translation>Die Aufgaben konnten nicht geändert werden. Ihre Aufgaben sind unverändert.</translation>
    </message>
    <message>
        <source>Changing the task failed; your tasks are unchanged.</source>
        <translation>Die Aufgabe konnte nicht geändert werden. Ihre Aufgaben sind unverändert.</translation>
    </message>
    <message>
        <source>Changing the state failed; your tasks are unchanged.</source>
        <translation>Der Status konnte nicht geändert werden. Ihre Aufgaben sind unverändert.</translation>
    </message>
    <message>
        <source>Changing the priority failed; your tasks are unchanged.</source>
        <translation>Die Priorität konnte nicht geändert werden. Ihre Aufgaben sind unverändert.</translation>
    </message>
    <message numerus="yes">
        <source>Do you really want to reset time done of %n selected tasks?</source>
        <translation>
            <numerusform>Möchten Sie die erledigte Zeit der ausgewählten Aufgabe wirklich zurücksetzen?</numerusform>
            <numerusform>Möchten Sie die erledigte Zeit der %n ausgewählten Aufgaben wirklich zurücksetzen?</numerusform>
        </translation>
    </message>
    <message>
        <source>Resetting the time done failed; your tasks are unchanged.</source>
        <translation>Die erledigte Zeit konnte nicht zurückgesetzt werden. Ihre Aufgaben sind unverändert.</translation>
    </message>
    <message>
        <source>Moving the tasks failed; your tasks are unchanged.</source>
        <translation>Die Aufgaben konnten nicht verschoben werden. Ihre Aufgaben sind unverändert.</translation>
    </message>
</context>
<context>
    <name>cdk::TaskGridModel</name>
    <message>
        <source>Task</source>
        <translation>Aufgabe</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Budget</translation>
    </message>
    <message>
        <source>Done</source>
        <translation>Erledigt</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Category</source>
        <translation>Kategorie</translation>
    </message>
    <message>
        <source>Priority</source>
        <translation>Priorität</translation>
    </message>
    <message>
        <source>checked</source>
        <translation>abgehakt</translation>
    </message>
    <message>
        <source>not checked</source>
        <translation>nicht abgehakt</translation>
    </message>
    <message>
        <source>Check box</source>
        <translation>Ankreuzfeld</translation>
    </message>
    <message>
        <source>(none)</source>
        <translation>(keine)</translation>
    </message>
</context>
<context>
    <name>cdk::TaskGridView</name>
    <message>
        <source>Tasks of the day shown</source>
        <translation>Aufgaben des angezeigten Tages</translation>
    </message>
</context>
<context>
    <name>cdk::TaskOperations</name>
    <message>
        <source>Review the Day</source>
        <translation>Tagesrückblick</translation>
    </message>
    <message>
        <source>Add %n</source>
        <translation>%n hinzufügen</translation>
    </message>
    <message>
        <source>Add Recurrent Task</source>
        <translation>Wiederkehrende Aufgabe hinzufügen</translation>
    </message>
    <message>
        <source>Edit %n</source>
        <translation>%n bearbeiten</translation>
    </message>
    <message>
        <source>Add %1 Minutes to %n</source>
        <translation>Zeitbudget für %n um %1 Min. verlängern</translation>
    </message>
    <message>
        <source>Delete %n</source>
        <translation>%n löschen</translation>
    </message>
    <message>
        <source>Set State of %n</source>
        <translation>Status für %n festlegen</translation>
    </message>
    <message>
        <source>Set Priority of %n</source>
        <translation>Priorität für %n festlegen</translation>
    </message>
    <message>
        <source>Mark %n Finished</source>
        <translation>%n als erledigt markieren</translation>
    </message>
    <message>
        <source>Mark %n Unfinished</source>
        <translation>%n als nicht erledigt markieren</translation>
    </message>
    <message>
        <source>Reset Timer of %n</source>
        <translation>Erledigte Zeit für %n zurücksetzen</translation>
    </message>
    <message>
        <source>Move %n</source>
        <translation>%n verschieben</translation>
    </message>
    <message>
        <source>Set Time Finished of %n</source>
        <translation>Erledigte Zeit für %n festlegen</translation>
    </message>
    <message>
        <source>Set Category of %n</source>
        <translation>Kategorie für %n festlegen</translation>
    </message>
    <message>
        <source>Add Category</source>
        <translation>Kategorie hinzufügen</translation>
    </message>
    <message>
        <source>Edit Category</source>
        <translation>Kategorie bearbeiten</translation>
    </message>
    <message>
        <source>Delete Category</source>
        <translation>Kategorie löschen</translation>
    </message>
    <message>
        <source>Unable to delete, You need to have at least one category.</source>
        <translation>Löschen nicht möglich: Es muss mindestens eine Kategorie vorhanden sein.</translation>
    </message>
    <message>
        <source>Discard Away Time</source>
        <translation>Abwesenheit verwerfen</translation>
    </message>
    <message>
        <source>The task database is not open.</source>
        <translation>Die Aufgabendatenbank ist nicht geöffnet.</translation>
    </message>
    <message>
        <source>recurrent task %1</source>
        <translation>wiederkehrende Aufgabe %1</translation>
    </message>
    <message>
        <source>task %1 of %2</source>
        <translation>Aufgabe %1 vom %2</translation>
    </message>
    <message>
        <source>Cannot undo &quot;%1&quot;: %2.</source>
        <translation>„%1“ kann nicht rückgängig gemacht werden: %2.</translation>
    </message>
    <message>
        <source>Cannot redo &quot;%1&quot;: %2.</source>
        <translation>„%1“ kann nicht wiederholt werden: %2.</translation>
    </message>
    <message>
        <source>%1 has changed since</source>
        <translation>%1 wurde seitdem geändert</translation>
    </message>
    <message>
        <source>%1 is taken by another task since</source>
        <translation>%1 ist seitdem durch eine andere Aufgabe belegt</translation>
    </message>
    <message>
        <source>time was tracked on %1 since</source>
        <translation>für %1 wurde seitdem Zeit erfasst</translation>
    </message>
    <message>
        <source>category %1 has changed since</source>
        <translation>Kategorie %1 wurde seitdem geändert</translation>
    </message>
</context>
<context>
    <name>cdk::TrackingCommands</name>
    <message>
        <source>&amp;Start Timer</source>
        <translation>Zeiterfassung &amp;starten</translation>
    </message>
    <message>
        <source>&amp;Stop Timer</source>
        <translation>Zeiterfassung &amp;beenden</translation>
    </message>
    <message>
        <source>Finish the task and stop time tracking</source>
        <translation>Aufgabe abschließen und Zeiterfassung beenden</translation>
    </message>
    <message>
        <source>&amp;Reports...</source>
        <translation>Be&amp;richte …</translation>
    </message>
    <message>
        <source>Time tracking could not be started.</source>
        <translation>Die Zeiterfassung konnte nicht gestartet werden.</translation>
    </message>
    <message>
        <source>The task could not be marked as finished.</source>
        <translation>Die Aufgabe konnte nicht als erledigt markiert werden.</translation>
    </message>
    <message>
        <source>The Reports window cannot be opened: its part of the program is missing or does not fit this version.

%1</source>
        <translation>Das Fenster „Berichte“ kann nicht geöffnet werden: Der zugehörige Programmteil fehlt oder passt nicht zu dieser Version.

%1</translation>
    </message>
</context>
<context>
    <name>cdk::TrackingController</name>
    <message>
        <source>The time done of the tracked task could not be saved, so time tracking has been stopped. The time counted until the previous second is kept.</source>
        <translation>Die erledigte Zeit der erfassten Aufgabe konnte nicht gespeichert werden, daher wurde die Zeiterfassung beendet. Die bis zur vorherigen Sekunde gezählte Zeit bleibt erhalten.</translation>
    </message>
    <message>
        <source>Multiple tasks</source>
        <translation>Mehrere Aufgaben</translation>
    </message>
    <message>
        <source>Please select only one task to time track</source>
        <translation>Bitte wählen Sie für die Zeiterfassung nur eine Aufgabe aus</translation>
    </message>
    <message>
        <source>No task selected</source>
        <translation>Keine Aufgabe ausgewählt</translation>
    </message>
    <message>
        <source>Create and select task you want to time track</source>
        <translation>Erstellen Sie die Aufgabe für die Zeiterfassung und wählen Sie sie aus</translation>
    </message>
    <message>
        <source>Press the Start button to time track selected task</source>
        <translation>Klicken Sie auf die Start-Schaltfläche, um die Zeit der ausgewählten Aufgabe zu erfassen</translation>
    </message>
    <message>
        <source>This task is already 100% done!</source>
        <translation>Diese Aufgabe ist bereits zu 100 % erledigt.</translation>
    </message>
    <message>
        <source>Currently selected:</source>
        <translation>Ausgewählt:</translation>
    </message>
    <message>
        <source>Time tracking task:</source>
        <translation>Zeiterfassung für:</translation>
    </message>
    <message>
        <source>Tracking finished: </source>
        <translation>Zeiterfassung beendet: </translation>
    </message>
    <message>
        <source>Done: [%1 / %2] [%3]</source>
        <translation>Erledigt: [%1 / %2] [%3]</translation>
    </message>
    <message>
        <source>Task %1 has been finished!</source>
        <translation>Aufgabe %1 ist abgeschlossen!</translation>
    </message>
    <message>
        <source>The time away could not be discarded: the task %1 no longer exists.</source>
        <translation>Die Abwesenheit konnte nicht verworfen werden: Die Aufgabe %1 existiert nicht mehr.</translation>
    </message>
    <message>
        <source>The time away could not be discarded; the task keeps it.</source>
        <translation>Die Abwesenheit konnte nicht verworfen werden; sie bleibt der Aufgabe angerechnet.</translation>
    </message>
    <message>
        <source>Show</source>
        <comment>notification button</comment>
        <translation>Anzeigen</translation>
    </message>
    <message numerus="yes">
        <source>+%n minutes</source>
        <comment>notification button</comment>
        <translation>
            <numerusform>+%n Minute</numerusform>
            <numerusform>+%n Minuten</numerusform>
        </translation>
    </message>
    <message>
        <source>Finish</source>
        <comment>notification button</comment>
        <translation>Abschließen</translation>
    </message>
    <message>
        <source>Move the rest to tomorrow</source>
        <translation>Rest auf morgen verschieben</translation>
    </message>
    <message>
        <source>The task could not be changed.</source>
        <translation>Die Aufgabe konnte nicht geändert werden.</translation>
    </message>
</context>
<context>
    <name>cdk::TrackingSettingsPage</name>
    <message numerus="yes">
        <source>%n minutes</source>
        <translation>
            <numerusform>%n Minute</numerusform>
            <numerusform>%n Minuten</numerusform>
        </translation>
    </message>
    <message>
        <source>%1% of the budget</source>
        <translation>%1 % des Zeitbudgets</translation>
    </message>
    <message>
        <source>Time away</source>
        <translation>Abwesenheit</translation>
    </message>
    <message>
        <source>Never</source>
        <translation>Nie</translation>
    </message>
    <message>
        <source>Ask about time &amp;away after:</source>
        <translation>Bei Abwesenheit &amp;nachfragen ab:</translation>
    </message>
    <message>
        <source>When you come back to the computer while a task is tracked, you choose whether the time away counts.</source>
        <translation>Wenn Sie während der Zeiterfassung einer Aufgabe an den Computer zurückkehren, entscheiden Sie, ob die Abwesenheit mitgezählt wird.</translation>
    </message>
    <message>
        <source>The budget</source>
        <translation>Zeitbudget</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Aus</translation>
    </message>
    <message>
        <source>&amp;Warn when used:</source>
        <translation>&amp;Warnen bei Verbrauch von:</translation>
    </message>
    <message>
        <source>Warn with time &amp;left:</source>
        <translation>Warnen bei &amp;Restzeit von:</translation>
    </message>
    <message>
        <source>The pop-up</source>
        <translation>Das Hinweisfenster</translation>
    </message>
    <message>
        <source>A desktop notification</source>
        <translation>Eine Benachrichtigung der Arbeitsumgebung</translation>
    </message>
    <message>
        <source>The pop-up and a notification</source>
        <translation>Das Hinweisfenster und eine Benachrichtigung</translation>
    </message>
    <message>
        <source>Where the desktop shows no notifications, the pop-up appears either way.</source>
        <translation>Wo die Arbeitsumgebung keine Benachrichtigungen anzeigt, erscheint in jedem Fall das Hinweisfenster.</translation>
    </message>
    <message>
        <source>When used &amp;up, show:</source>
        <translation>&amp;Bei aufgebrauchtem Zeitbudget anzeigen:</translation>
    </message>
    <message>
        <source>A notification&apos;s &quot;+&quot; button a&amp;dds:</source>
        <translation>Schaltfläche „+“ in Benachrichtigungen &amp;verlängert um:</translation>
    </message>
    <message>
        <source>End of the day</source>
        <translation>Tagesende</translation>
    </message>
    <message>
        <source>&amp;Review the day every day at</source>
        <translation>&amp;Tagesrückblick täglich um</translation>
    </message>
    <message>
        <source>Review time</source>
        <translation>Uhrzeit des Tagesrückblicks</translation>
    </message>
</context>
<context>
    <name>cdk::TrayMenu</name>
    <message>
        <source>&amp;Show Chronodeck</source>
        <translation>Chronodeck &amp;anzeigen</translation>
    </message>
    <message>
        <source>&amp;Add Task</source>
        <translation>Aufgabe &amp;hinzufügen</translation>
    </message>
    <message>
        <source>Review the Da&amp;y...</source>
        <translation>Tages&amp;rückblick …</translation>
    </message>
    <message>
        <source>&amp;Start Timer</source>
        <translation>Zeiterfassung &amp;starten</translation>
    </message>
    <message>
        <source>St&amp;op Timer</source>
        <translation>&amp;Zeiterfassung beenden</translation>
    </message>
    <message>
        <source>&amp;Settings</source>
        <translation>&amp;Einstellungen</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Über</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
</context>
<context>
    <name>cdk::TutorialWindow</name>
    <message>
        <source>Quick Tutorial</source>
        <translation>Kurzanleitung</translation>
    </message>
    <message>
        <source>Welcome to Chronodeck! Chronodeck lets you give each of your tasks an amount of time and track your progress on it, so you always know how much of your day is done and how much is left.</source>
        <translation>Willkommen bei Chronodeck! Mit Chronodeck geben Sie jeder Ihrer Aufgaben ein Zeitbudget und verfolgen Ihren Fortschritt dabei. So wissen Sie immer, wie viel Ihres Tages erledigt ist und wie viel noch bleibt.</translation>
    </message>
    <message>
        <source>Chronodeck keeps a task list for each day of the calendar. You can easily display task list for any day using the date picker in the main toolbar. Use arrows upon it to go to next or previous day. T (today) button will always bring you to today&apos;s task list.</source>
        <translation>Chronodeck führt für jeden Tag des Kalenders eine Aufgabenliste. Mit der Datumsauswahl in der Werkzeugleiste können Sie die Aufgabenliste jedes beliebigen Tages anzeigen. Mit den Pfeilen daneben wechseln Sie zum nächsten oder vorherigen Tag. Die Schaltfläche „Heute“ bringt Sie jederzeit zur Aufgabenliste des heutigen Tages zurück.</translation>
    </message>
    <message>
        <source>Previous day</source>
        <translation>Vorheriger Tag</translation>
    </message>
    <message>
        <source>Today</source>
        <translation>Heute</translation>
    </message>
    <message>
        <source>Next day</source>
        <translation>Nächster Tag</translation>
    </message>
    <message>
        <source>Chronodeck can time track time done for each of your tasks. To do so, simply select the task you would like to track and press the &quot;Start Tracking&quot; button.</source>
        <translation>Chronodeck erfasst für jede Ihrer Aufgaben die erledigte Zeit. Wählen Sie dazu einfach die gewünschte Aufgabe aus und klicken Sie auf die Schaltfläche „Zeiterfassung starten“.</translation>
    </message>
    <message>
        <source>Start Tracking</source>
        <translation>Zeiterfassung starten</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stopp</translation>
    </message>
    <message>
        <source>Finish</source>
        <translation>Abschließen</translation>
    </message>
    <message>
        <source>Only one task can be tracked at a time. If you would like to track another task, you have to stop the timer, select another task, and start tracking it. When the timer is on, you can add and edit other tasks, move through to do lists, etc.</source>
        <translation>Es kann immer nur eine Aufgabe gleichzeitig erfasst werden. Um eine andere Aufgabe zu erfassen, beenden Sie die Zeiterfassung, wählen die andere Aufgabe aus und starten deren Zeiterfassung. Während die Zeiterfassung läuft, können Sie weitere Aufgaben hinzufügen und bearbeiten, zwischen Aufgabenlisten wechseln und vieles mehr.</translation>
    </message>
    <message>
        <source>One final trick: Press Escape key to hide Chronodeck to system tray.</source>
        <translation>Noch ein letzter Tipp: Mit der Esc-Taste blenden Sie Chronodeck in den Systemabschnitt der Kontrollleiste aus.</translation>
    </message>
    <message>
        <source>So this is the basics. We have designed the program to be very intuitive and friendly to use, but you will find that for yourself. Have a great day and once again, thanks for installing Chronodeck!</source>
        <translation>Das sind die Grundlagen. Wir haben das Programm so gestaltet, dass es möglichst intuitiv und angenehm zu bedienen ist – davon können Sie sich selbst überzeugen. Einen schönen Tag und nochmals vielen Dank, dass Sie Chronodeck installiert haben!</translation>
    </message>
    <message>
        <source>&amp;Part 2</source>
        <translation>&amp;Teil 2</translation>
    </message>
    <message>
        <source>&amp;Close</source>
        <translation>&amp;Schließen</translation>
    </message>
    <message>
        <source>&amp;Part 1</source>
        <translation>&amp;Teil 1</translation>
    </message>
</context>
<context>
    <name>cdk::WindowCommands</name>
    <message>
        <source>&amp;Create Backup...</source>
        <translation>Sicherung &amp;erstellen …</translation>
    </message>
    <message>
        <source>&amp;Restore Backup...</source>
        <translation>Sicherung &amp;wiederherstellen …</translation>
    </message>
    <message>
        <source>&amp;Settings..</source>
        <translation>Ein&amp;stellungen …</translation>
    </message>
    <message>
        <source>S&amp;ync...</source>
        <translation>&amp;Abgleich …</translation>
    </message>
    <message>
        <source>&amp;Hide To Sysem Tray</source>
        <translation>In den Systemabschnitt &amp;minimieren</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Quick &amp;Tutorial...</source>
        <translation>&amp;Kurzanleitung …</translation>
    </message>
    <message>
        <source>&amp;About...</source>
        <translation>Ü&amp;ber …</translation>
    </message>
    <message>
        <source>Move to the previous day</source>
        <translation>Zum vorherigen Tag wechseln</translation>
    </message>
    <message>
        <source>Move to the next day</source>
        <translation>Zum nächsten Tag wechseln</translation>
    </message>
    <message>
        <source>View Today&apos;s Task List</source>
        <translation>Heutige Aufgabenliste anzeigen</translation>
    </message>
    <message>
        <source>%1 is not available in this version yet.</source>
        <translation>%1 ist in dieser Version noch nicht verfügbar.</translation>
    </message>
    <message>
        <source>Database backed up successfully.</source>
        <translation>Die Datenbank wurde erfolgreich gesichert.</translation>
    </message>
    <message>
        <source>This will overwrite your current database (copy of it will be created though).<byte value="xd"/>
<byte value="xd"/>
Do you really want to continue?</source>
        <translation>Dadurch wird Ihre aktuelle Datenbank überschrieben (vorher wird jedoch eine Kopie davon angelegt).<byte value="xd"/>
<byte value="xd"/>
Möchten Sie wirklich fortfahren?</translation>
    </message>
    <message>
        <source>Database successfully restored.</source>
        <translation>Die Datenbank wurde erfolgreich wiederhergestellt.</translation>
    </message>
    <message>
        <source>About %1</source>
        <translation>Über %1</translation>
    </message>
    <message>
        <source>Version: %1</source>
        <translation>Version: %1</translation>
    </message>
    <message>
        <source>Daily task lists with time budgets.</source>
        <translation>Tägliche Aufgabenlisten mit Zeitbudgets.</translation>
    </message>
</context>
<context>
    <name>cdk::clsSettings</name>
    <message>
        <source>No section given for %1</source>
        <translation>Kein Abschnitt angegeben für %1</translation>
    </message>
    <message>
        <source>Invalid section, key or value.</source>
        <translation>Ungültiger Abschnitt, Schlüssel oder Wert.</translation>
    </message>
    <message>
        <source>Unable to write settings.</source>
        <translation>Die Einstellungen können nicht gespeichert werden.</translation>
    </message>
</context>
</TS>
