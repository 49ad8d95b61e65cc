<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>AllBackup</name>
    <message numerus="yes">
        <source>Parameters: %n values saved to %1.</source>
        <translation>
            <numerusform>Parameters: %n value saved to %1.</numerusform>
            <numerusform>Parameters: %n values saved to %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cards: %n cards of numbers %2 to %3 saved to %1.</source>
        <translation>
            <numerusform>Cards: %n card of numbers %2 to %3 saved to %1.</numerusform>
            <numerusform>Cards: %n cards of numbers %2 to %3 saved to %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Parameters: %n values written from %1.</source>
        <translation>
            <numerusform>Parameters: %n value written from %1.</numerusform>
            <numerusform>Parameters: %n values written from %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cards: all cards deleted, then %n cards written from %1.</source>
        <translation>
            <numerusform>Cards: all cards deleted, then %n card written from %1.</numerusform>
            <numerusform>Cards: all cards deleted, then %n cards written from %1.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) could not be read: %1</source>
        <translation>
            <numerusform>%n card number could not be read: %1</numerusform>
            <numerusform>%n card numbers could not be read: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n card(s) were found in the numbers %1 to %2.</source>
        <translation>
            <numerusform>%n card was found in the numbers %1 to %2.</numerusform>
            <numerusform>%n cards were found in the numbers %1 to %2.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cards: %n cards of numbers %2 to %3 saved to %1; the list is not complete.</source>
        <translation>
            <numerusform>Cards: %n card of numbers %2 to %3 saved to %1; the list is not complete.</numerusform>
            <numerusform>Cards: %n cards of numbers %2 to %3 saved to %1; the list is not complete.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) of %1 cannot be written:</source>
        <translation>
            <numerusform>%n row of %1 cannot be written:</numerusform>
            <numerusform>%n rows of %1 cannot be written:</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CardSync</name>
    <message numerus="yes">
        <source>%n row(s) of the card list cannot be written; nothing was sent</source>
        <translation>
            <numerusform>%n row of the card list cannot be written; nothing was sent</numerusform>
            <numerusform>%n rows of the card list cannot be written; nothing was sent</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) could not be read: %1</source>
        <translation>
            <numerusform>%n card number could not be read: %1</numerusform>
            <numerusform>%n card numbers could not be read: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) were left as they were: %1</source>
        <translation>
            <numerusform>%n card number was left as it was: %1</numerusform>
            <numerusform>%n card numbers were left as they were: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) are not confirmed as the list has them: %1</source>
        <translation>
            <numerusform>%n card number is not confirmed as the list has it: %1</numerusform>
            <numerusform>%n card numbers are not confirmed as the list has them: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CardTransfer</name>
    <message numerus="yes">
        <source>%n card number(s) could not be read: %1</source>
        <translation>
            <numerusform>%n card number could not be read: %1</numerusform>
            <numerusform>%n card numbers could not be read: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) were not written because they are not valid</source>
        <translation>
            <numerusform>%n row was not written because it is not valid</numerusform>
            <numerusform>%n rows were not written because they are not valid</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>every card in the controller was deleted first; it now holds only the %n card(s) written since</source>
        <translation>
            <numerusform>every card in the controller was deleted first; it now holds only the %n card written since</numerusform>
            <numerusform>every card in the controller was deleted first; it now holds only the %n cards written since</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n card(s) were not accepted: %1</source>
        <translation>
            <numerusform>%n card was not accepted: %1</numerusform>
            <numerusform>%n cards were not accepted: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>CardsOutsideRange</name>
    <message numerus="yes">
        <source>the controller holds %n card(s) outside the numbers %1 to %2 that the backup read: %3</source>
        <translation>
            <numerusform>the controller holds %n card outside the numbers %1 to %2 that the backup read: %3</numerusform>
            <numerusform>the controller holds %n cards outside the numbers %1 to %2 that the backup read: %3</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) outside the backup&apos;s range could not be read: %1</source>
        <translation>
            <numerusform>%n card number outside the backup&apos;s range could not be read: %1</numerusform>
            <numerusform>%n card numbers outside the backup&apos;s range could not be read: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PageParameterIo</name>
    <message numerus="yes">
        <source>The controller stopped answering at %1; %n rows were not written.</source>
        <translation>
            <numerusform>The controller stopped answering at %1; %n row was not written.</numerusform>
            <numerusform>The controller stopped answering at %1; %n rows were not written.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The controller stopped answering at %1; %n rows were not read.</source>
        <translation>
            <numerusform>The controller stopped answering at %1; %n row was not read.</numerusform>
            <numerusform>The controller stopped answering at %1; %n rows were not read.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cancelled at %1; %n rows were not written.</source>
        <translation>
            <numerusform>Cancelled at %1; %n row was not written.</numerusform>
            <numerusform>Cancelled at %1; %n rows were not written.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Cancelled at %1; %n rows were not read.</source>
        <translation>
            <numerusform>Cancelled at %1; %n row was not read.</numerusform>
            <numerusform>Cancelled at %1; %n rows were not read.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ParamFileTransfer</name>
    <message numerus="yes">
        <source>%n values were not read: the controller answered, but every reply was damaged: %1</source>
        <translation>
            <numerusform>%n value was not read: the controller answered, but every reply was damaged: %1</numerusform>
            <numerusform>%n values were not read: the controller answered, but every reply was damaged: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n codes never answered. The line lost replies, so the controller may hold some of them: %1</source>
        <translation>
            <numerusform>%n code never answered. The line lost replies, so the controller may hold it: %1</numerusform>
            <numerusform>%n codes never answered. The line lost replies, so the controller may hold some of them: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The link was lost at %1; the backup holds only the %n values read before.</source>
        <translation>
            <numerusform>The link was lost at %1; the backup holds only the %n value read before.</numerusform>
            <numerusform>The link was lost at %1; the backup holds only the %n values read before.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The backup is incomplete (%n values). Replace the earlier file %1 with it?</source>
        <translation>
            <numerusform>The backup is incomplete (%n value). Replace the earlier file %1 with it?</numerusform>
            <numerusform>The backup is incomplete (%n values). Replace the earlier file %1 with it?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n rows not sent (not a parameter code, or a value with control characters or too long): %1</source>
        <translation>
            <numerusform>%n row not sent (not a parameter code, or a value with control characters or too long): %1</numerusform>
            <numerusform>%n rows not sent (not a parameter code, or a value with control characters or too long): %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n rows not taken by the controller: %1</source>
        <translation>
            <numerusform>%n row not taken by the controller: %1</numerusform>
            <numerusform>%n rows not taken by the controller: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The link was lost at %1; %n rows were not sent.</source>
        <translation>
            <numerusform>The link was lost at %1; %n row was not sent.</numerusform>
            <numerusform>The link was lost at %1; %n rows were not sent.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The restore was cancelled at %1; %n rows were not sent.</source>
        <translation>
            <numerusform>The restore was cancelled at %1; %n row was not sent.</numerusform>
            <numerusform>The restore was cancelled at %1; %n rows were not sent.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n values were written.</source>
        <translation>
            <numerusform>%n value was written.</numerusform>
            <numerusform>%n values were written.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ReadOutcome</name>
    <message numerus="yes">
        <source>%n event(s) read.</source>
        <translation>
            <numerusform>%n event read.</numerusform>
            <numerusform>%n events read.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) of an unknown kind were kept with code 0.</source>
        <translation>
            <numerusform>%n event of an unknown kind was kept with code 0.</numerusform>
            <numerusform>%n events of an unknown kind were kept with code 0.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) sent again by the controller were kept once.</source>
        <translation>
            <numerusform>%n event sent again by the controller was kept once.</numerusform>
            <numerusform>%n events sent again by the controller were kept once.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The read stopped at the limit of %n event(s).</source>
        <translation>
            <numerusform>The read stopped at the limit of %n event.</numerusform>
            <numerusform>The read stopped at the limit of %n events.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) are still in the controller.</source>
        <translation>
            <numerusform>%n event is still in the controller.</numerusform>
            <numerusform>%n events are still in the controller.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RecordJournal</name>
    <message numerus="yes">
        <source>%1: %n line(s) cannot be read as events (line %2); they are kept in the journal, and may each be an event that is in no file: look at them before the journal is removed.</source>
        <translation>
            <numerusform>%1: %n line cannot be read as an event (line %2); it is kept in the journal, and may be an event that is in no file: look at it before the journal is removed.</numerusform>
            <numerusform>%1: %n lines cannot be read as events (lines %2); they are kept in the journal, and may each be an event that is in no file: look at them before the journal is removed.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>RecordReader</name>
    <message numerus="yes">
        <source>The controller sent the same event %n time(s) in a row although it confirmed each acknowledgement; the read stops.</source>
        <translation>
            <numerusform>The controller sent the same event %n time in a row although it confirmed each acknowledgement; the read stops.</numerusform>
            <numerusform>The controller sent the same event %n times in a row although it confirmed each acknowledgement; the read stops.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ReplyTally</name>
    <message numerus="yes">
        <source>the line delivered %n reply(ies) that no command was waiting for (replies sent twice?), so values read may belong to other numbers: read again, over TCP on a UDP network</source>
        <translation>
            <numerusform>the line delivered %n reply that no command was waiting for (a reply sent twice?), so values read may belong to other numbers: read again, over TCP on a UDP network</numerusform>
            <numerusform>the line delivered %n replies that no command was waiting for (replies sent twice?), so values read may belong to other numbers: read again, over TCP on a UDP network</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TfrmCardData</name>
    <message numerus="yes">
        <source>%n card number(s) could not be read: %1

The card list is not complete. Read these numbers again?</source>
        <translation>
            <numerusform>%n card number could not be read: %1

The card list is not complete. Read this number again?</numerusform>
            <numerusform>%n card numbers could not be read: %1

The card list is not complete. Read these numbers again?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) cannot be written:
%1

Nothing is deleted or written.</source>
        <translation>
            <numerusform>%n row cannot be written:
%1

Nothing is deleted or written.</numerusform>
            <numerusform>%n rows cannot be written:
%1

Nothing is deleted or written.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n row(s) cannot be written:
%1

Write the other rows without them? Otherwise nothing is deleted or written.</source>
        <translation>
            <numerusform>%n row cannot be written:
%1

Write the other rows without it? Otherwise nothing is deleted or written.</numerusform>
            <numerusform>%n rows cannot be written:
%1

Write the other rows without them? Otherwise nothing is deleted or written.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n card(s) written.</source>
        <translation>
            <numerusform>%n card written.</numerusform>
            <numerusform>%n cards written.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Card ID &quot;%1&quot; has %n character(s), not 16: this card was not added. Present it again.</source>
        <translation>
            <numerusform>Card ID &quot;%1&quot; has %n character, not 16: this card was not added. Present it again.</numerusform>
            <numerusform>Card ID &quot;%1&quot; has %n characters, not 16: this card was not added. Present it again.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n card number(s) could not be read: %1

The card list is not complete. The link to the controller is closed: connect again in the main window, then read these numbers.</source>
        <translation>
            <numerusform>%n card number could not be read: %1

The card list is not complete. The link to the controller is closed: connect again in the main window, then read this number.</numerusform>
            <numerusform>%n card numbers could not be read: %1

The card list is not complete. The link to the controller is closed: connect again in the main window, then read these numbers.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>TfrmIOdata</name>
    <message numerus="yes">
        <source>An earlier read of controller %1 left %n event(s) that were acknowledged but never saved in a file. The controller no longer holds them.

Take them into the table? If not, these %n event(s) are lost.</source>
        <translation>
            <numerusform>An earlier read of controller %1 left %n event that was acknowledged but never saved in a file. The controller no longer holds it.

Take it into the table? If not, this %n event is lost.</numerusform>
            <numerusform>An earlier read of controller %1 left %n events that were acknowledged but never saved in a file. The controller no longer holds them.

Take them into the table? If not, these %n events are lost.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>These %n event(s) are in no file, and the controller no longer holds them. Lose them for good?</source>
        <translation>
            <numerusform>This %n event is in no file, and the controller no longer holds it. Lose it for good?</numerusform>
            <numerusform>These %n events are in no file, and the controller no longer holds them. Lose them for good?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n unsaved event(s) taken from the journal.</source>
        <translation>
            <numerusform>%n unsaved event taken from the journal.</numerusform>
            <numerusform>%n unsaved events taken from the journal.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) read from the controller are not saved in a file, and the controller no longer holds them. %1 and lose these %n event(s)?</source>
        <translation>
            <numerusform>%n event read from the controller is not saved in a file, and the controller no longer holds it. %1 and lose this %n event?</numerusform>
            <numerusform>%n events read from the controller are not saved in a file, and the controller no longer holds them. %1 and lose these %n events?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) are not yet saved in a file: use &quot;Write to file&quot;.</source>
        <translation>
            <numerusform>%n event is not yet saved in a file: use &quot;Write to file&quot;.</numerusform>
            <numerusform>%n events are not yet saved in a file: use &quot;Write to file&quot;.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n event(s) added to the archive, %1 there already.</source>
        <translation>
            <numerusform>%n event added to the archive, %1 there already.</numerusform>
            <numerusform>%n events added to the archive, %1 there already.</numerusform>
        </translation>
    </message>
</context>
</TS>
