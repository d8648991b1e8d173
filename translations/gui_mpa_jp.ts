<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP" sourcelanguage="en_US">
    <context>
        <name>BasicPage</name>
        <message>
            <source>Audio Format</source>
            <translation>オーディオ形式</translation>
        </message>
    </context>
    <context>
        <name>IBasicPage</name>
        <message>
            <source>Basic Page</source>
            <translation>基本ページ</translation>
        </message>
    </context>
    <context>
        <name>IMPAEncoderDlg</name>
        <message>
            <source>Veltrano MPEG-1/2 Audio Encoder Dialog</source>
            <translation>Veltrano MPEG-1/2 オーディオエンコーダー ダイアログ</translation>
        </message>
        <message>
            <source>Preset:</source>
            <translation>プリセット:</translation>
        </message>
        <message>
            <source>Click this button to load/restore the default settings for selected preset.</source>
            <translation>選択したプリセットの既定の設定を読み込む（復元する）には、このボタンをクリックします。</translation>
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
            <translation>情報ウィンドウ</translation>
        </message>
        <message>
            <source>Basic Settings</source>
            <translation>基本設定</translation>
        </message>
        <message>
            <source>Restore defaults</source>
            <translation>既定値に戻す</translation>
        </message>
        <message>
            <source>Restores the default settings of the selected preset.</source>
            <translation>選択したプリセットの既定の設定に戻します。</translation>
        </message>
        <message>
            <source>Load settings</source>
            <translation>設定を読み込む</translation>
        </message>
        <message>
            <source>Loads settings from a settings file or an MPEG file.</source>
            <translation>設定ファイルまたは MPEG ファイルから設定を読み込みます。</translation>
        </message>
        <message>
            <source>Save settings</source>
            <translation>設定を保存</translation>
        </message>
        <message>
            <source>Saves the settings to a settings file.</source>
            <translation>設定を設定ファイルに保存します。</translation>
        </message>
        <message>
            <source>Findings of the settings check, errors first.</source>
            <translation>設定チェックの結果です (エラーが先頭)。</translation>
        </message>
        <message>
            <source>Cancel</source>
            <translation>キャンセル</translation>
        </message>
        <message>
            <source>Closes the dialog without changing the settings.</source>
            <translation>設定を変更せずにダイアログを閉じます。</translation>
        </message>
        <message>
            <source>OK</source>
            <translation>OK</translation>
        </message>
        <message>
            <source>Checks the settings and closes the dialog with them when they pass.</source>
            <translation>設定をチェックし、問題がなければその設定でダイアログを閉じます。</translation>
        </message>
    </context>
    <context>
        <name>IMPEGAudioPage</name>
        <message>
            <source>MPEG Audio Page</source>
            <translation>MPEG オーディオ ページ</translation>
        </message>
        <message>
            <source>Layer:</source>
            <translation>レイヤー:</translation>
        </message>
        <message>
            <source>Mode:</source>
            <translation>モード:</translation>
        </message>
        <message>
            <source>Bitrate (kbps):</source>
            <translation>ビットレート (kbps):</translation>
        </message>
        <message>
            <source>Psychoacoustic Model:</source>
            <translation>心理音響モデル:</translation>
        </message>
        <message>
            <source>Emphasis:</source>
            <translation>エンファシス:</translation>
        </message>
        <message>
            <source>Set private bit</source>
            <translation>プライベート ビットを設定</translation>
        </message>
        <message>
            <source>Set copyright bit</source>
            <translation>著作権ビットを設定</translation>
        </message>
        <message>
            <source>Set error protection bit</source>
            <translation>エラー保護ビットを設定</translation>
        </message>
        <message>
            <source>Set original bit</source>
            <translation>オリジナル ビットを設定</translation>
        </message>
    </context>
    <context>
        <name>MPAEncoderDlg</name>
        <message>
            <source>Veltrano MPEG-1/2 Audio Encoder Settings</source>
            <translation>Veltrano MPEG-1/2 オーディオエンコーダーの設定</translation>
        </message>
        <message>
            <source>Basic Settings</source>
            <translation>基本設定</translation>
        </message>
        <message>
            <source>Load Config File...</source>
            <translation>設定ファイルを開く...</translation>
        </message>
        <message>
            <source>Config Files (*.cfg *.ini);;MPEG Files (*.m2p *.m2t *.m4p *.mp2 *.mp4 *.mpa *.mpeg *.mpg *.mxf *.trp *.ts *.ifo)</source>
            <translation>設定ファイル (*.cfg *.ini);;MPEG ファイル (*.m2p *.m2t *.m4p *.mp2 *.mp4 *.mpa *.mpeg *.mpg *.mxf *.trp *.ts *.ifo)</translation>
        </message>
        <message>
            <source>Save Config File...</source>
            <translation>設定ファイルを保存...</translation>
        </message>
        <message>
            <source>Config Files (*.cfg *.ini)</source>
            <translation>設定ファイル (*.cfg *.ini)</translation>
        </message>
        <message>
            <source>Veltrano MPEG-1/2 Audio Encoder</source>
            <translation>Veltrano MPEG-1/2 オーディオエンコーダー</translation>
        </message>
        <message>
            <source>File already exists.
Do you want to overwrite it?</source>
            <translation>ファイルは既に存在します。
上書きしますか?</translation>
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
            <translation>このセクションのコントロールを表示または非表示にします。</translation>
        </message>
    </context>
</TS>
