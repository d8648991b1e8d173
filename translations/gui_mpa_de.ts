<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE" sourcelanguage="en_US">
    <context>
        <name>BasicPage</name>
        <message>
            <source>Audio Format</source>
            <translation>Audioformat</translation>
        </message>
    </context>
    <context>
        <name>IBasicPage</name>
        <message>
            <source>Basic Page</source>
            <translation>Basisseite</translation>
        </message>
    </context>
    <context>
        <name>IMPAEncoderDlg</name>
        <message>
            <source>Veltrano MPEG-1/2 Audio Encoder Dialog</source>
            <translation>Veltrano MPEG-1/2 Audio-Encoder-Dialog</translation>
        </message>
        <message>
            <source>Preset:</source>
            <translation>Voreinstellung:</translation>
        </message>
        <message>
            <source>Click this button to load/restore the default settings for selected preset.</source>
            <translation>Klicken Sie auf diese Schaltfläche, um die Standardeinstellungen der gewählten Voreinstellung zu laden bzw. wiederherzustellen.</translation>
        </message>
        <message>
            <source>Alt+L</source>
            <translation>Alt+L</translation>
        </message>
        <message>
            <source>Alt+S</source>
            <translation>Alt+S</translation>
        </message>
        <message>
            <source>Info Window</source>
            <translation>Infofenster</translation>
        </message>
        <message>
            <source>Basic Settings</source>
            <translation>Grundeinstellungen</translation>
        </message>
        <message>
            <source>Restore defaults</source>
            <translation>Standardwerte wiederherstellen</translation>
        </message>
        <message>
            <source>Restores the default settings of the selected preset.</source>
            <translation>Stellt die Standardeinstellungen der gewählten Voreinstellung wieder her.</translation>
        </message>
        <message>
            <source>Load settings</source>
            <translation>Einstellungen laden</translation>
        </message>
        <message>
            <source>Loads settings from a settings file or an MPEG file.</source>
            <translation>Lädt Einstellungen aus einer Einstellungsdatei oder einer MPEG-Datei.</translation>
        </message>
        <message>
            <source>Save settings</source>
            <translation>Einstellungen speichern</translation>
        </message>
        <message>
            <source>Saves the settings to a settings file.</source>
            <translation>Speichert die Einstellungen in einer Einstellungsdatei.</translation>
        </message>
        <message>
            <source>Findings of the settings check, errors first.</source>
            <translation>Ergebnisse der Einstellungsprüfung, Fehler zuerst.</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>Abbrechen</translation>
        </message>
        <message>
            <source>Closes the dialog without changing the settings.</source>
            <translation>Schließt den Dialog, ohne die Einstellungen zu ändern.</translation>
        </message>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>Checks the settings and closes the dialog with them when they pass.</source>
            <translation>Prüft die Einstellungen und schließt den Dialog mit ihnen, wenn sie gültig sind.</translation>
        </message>
    </context>
    <context>
        <name>IMPEGAudioPage</name>
        <message>
            <source>MPEG Audio Page</source>
            <translation>MPEG-Audio-Seite</translation>
        </message>
        <message>
            <source>Layer:</source>
            <translation>Layer:</translation>
        </message>
        <message>
            <source>Mode:</source>
            <translation>Modus:</translation>
        </message>
        <message>
            <source>Bitrate (kbps):</source>
            <translation>Bitrate (kbit/s):</translation>
        </message>
        <message>
            <source>Psychoacoustic Model:</source>
            <translation>Psychoakustisches Modell:</translation>
        </message>
        <message>
            <source>Emphasis:</source>
            <translation>Emphase:</translation>
        </message>
        <message>
            <source>Set private bit</source>
            <translation>Private-Bit setzen</translation>
        </message>
        <message>
            <source>Set copyright bit</source>
            <translation>Copyright-Bit setzen</translation>
        </message>
        <message>
            <source>Set error protection bit</source>
            <translation>Fehlerschutz-Bit setzen</translation>
        </message>
        <message>
            <source>Set original bit</source>
            <translation>Original-Bit setzen</translation>
        </message>
    </context>
    <context>
        <name>MPAEncoderDlg</name>
        <message>
            <source>Veltrano MPEG-1/2 Audio Encoder Settings</source>
            <translation>Veltrano MPEG-1/2 Audio-Encoder-Einstellungen</translation>
        </message>
        <message>
            <source>Basic Settings</source>
            <translation>Grundeinstellungen</translation>
        </message>
        <message>
            <source>Load Config File...</source>
            <translation>Konfigurationsdatei laden...</translation>
        </message>
        <message>
            <source>Config Files (*.cfg *.ini);;MPEG Files (*.m2p *.m2t *.m4p *.mp2 *.mp4 *.mpa *.mpeg *.mpg *.mxf *.trp *.ts *.ifo)</source>
            <translation>Konfigurationsdateien (*.cfg *.ini);;MPEG-Dateien (*.m2p *.m2t *.m4p *.mp2 *.mp4 *.mpa *.mpeg *.mpg *.mxf *.trp *.ts *.ifo)</translation>
        </message>
        <message>
            <source>Save Config File...</source>
            <translation>Konfigurationsdatei speichern...</translation>
        </message>
        <message>
            <source>Config Files (*.cfg *.ini)</source>
            <translation>Konfigurationsdateien (*.cfg *.ini)</translation>
        </message>
        <message>
            <source>Veltrano MPEG-1/2 Audio Encoder</source>
            <translation>Veltrano MPEG-1/2 Audio-Encoder</translation>
        </message>
        <message>
            <source>File already exists.
Do you want to overwrite it?</source>
            <translation>Die Datei existiert bereits.
Möchten Sie sie überschreiben?</translation>
        </message>
        <message>
            <source>AVC HD</source>
            <translation>AVC HD</translation>
        </message>
        <message>
            <source>MPEG-1</source>
            <translation>MPEG-1</translation>
        </message>
        <message>
            <source>MPEG-1 VideoCD</source>
            <translation>MPEG-1 VideoCD</translation>
        </message>
        <message>
            <source>MPEG-1 DVD</source>
            <translation>MPEG-1 DVD</translation>
        </message>
        <message>
            <source>MPEG-1 DVD-VR</source>
            <translation>MPEG-1 DVD-VR</translation>
        </message>
        <message>
            <source>MPEG-2</source>
            <translation>MPEG-2</translation>
        </message>
        <message>
            <source>MPEG-2 SuperVCD</source>
            <translation>MPEG-2 SuperVCD</translation>
        </message>
        <message>
            <source>MPEG-2 DVD</source>
            <translation>MPEG-2 DVD</translation>
        </message>
        <message>
            <source>MPEG-2 DVD-VR</source>
            <translation>MPEG-2 DVD-VR</translation>
        </message>
        <message>
            <source>MPEG-2 DVB</source>
            <translation>MPEG-2 DVB</translation>
        </message>
        <message>
            <source>MPEG-2 MICROMV</source>
            <translation>MPEG-2 MICROMV</translation>
        </message>
        <message>
            <source>MPEG-2 DVHS</source>
            <translation>MPEG-2 DVHS</translation>
        </message>
        <message>
            <source>MPEG-2 ATSC</source>
            <translation>MPEG-2 ATSC</translation>
        </message>
        <message>
            <source>MPEG-2 ATSC high</source>
            <translation>MPEG-2 ATSC high</translation>
        </message>
        <message>
            <source>MPEG-2 HDV HD1</source>
            <translation>MPEG-2 HDV HD1</translation>
        </message>
        <message>
            <source>MPEG-2 HDV HD2</source>
            <translation>MPEG-2 HDV HD2</translation>
        </message>
        <message>
            <source>MPEG-2 D10</source>
            <translation>MPEG-2 D10</translation>
        </message>
        <message>
            <source>MPEG-2 CableLabs</source>
            <translation>MPEG-2 CableLabs</translation>
        </message>
        <message>
            <source>MPEG-2 HD DVD</source>
            <translation>MPEG-2 HD DVD</translation>
        </message>
        <message>
            <source>MPEG-2 Blu-ray Disc</source>
            <translation>MPEG-2 Blu-ray Disc</translation>
        </message>
    </context>
    <context>
        <name>QObject</name>
        <message>
            <source>Layer 1</source>
            <translation>Layer 1</translation>
        </message>
        <message>
            <source>Layer 2</source>
            <translation>Layer 2</translation>
        </message>
        <message>
            <source>Stereo</source>
            <translation>Stereo</translation>
        </message>
        <message>
            <source>Joint Stereo</source>
            <translation>Joint Stereo</translation>
        </message>
        <message>
            <source>Dual Channel</source>
            <translation>Dual Channel</translation>
        </message>
        <message>
            <source>Mono</source>
            <translation>Mono</translation>
        </message>
        <message>
            <source>Model 1</source>
            <translation>Model 1</translation>
        </message>
        <message>
            <source>Model 2</source>
            <translation>Model 2</translation>
        </message>
        <message>
            <source>Off</source>
            <translation>Off</translation>
        </message>
        <message>
            <source>50/15 µs</source>
            <translation>50/15 µs</translation>
        </message>
        <message>
            <source>CCITT J.17</source>
            <translation>CCITT J.17</translation>
        </message>
    </context>
    <context>
        <name>ToolBox</name>
        <message>
            <source>Shows or hides the controls of this section.</source>
            <translation>Zeigt oder verbirgt die Bedienelemente dieses Abschnitts.</translation>
        </message>
    </context>
</TS>
