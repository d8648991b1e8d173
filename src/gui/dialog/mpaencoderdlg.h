#ifndef VL_DIALOG_MPAENCODERDLG_H
#define VL_DIALOG_MPAENCODERDLG_H

#include "model/audiotypes.h"
#include "model/configstate.h"
#include "widgets/logable.h"

#include <QMap>
#include <QPixmap>
#include <QString>
#include <memory>
#include <veltrano/mpa_dialog.h>
#include <veltrano/mpa_settings.h>

class BasicPage;
class QComboBox;

namespace Ui {
class IMPAEncoderDlg;
}

// The settings dialog: keeps a working copy of the host's settings block,
// routes every change of its controls and pages through applyState and the
// encoder's settings check, and writes the record half back on OK.
class MPAEncoderDlg : public Logable
{
    Q_OBJECT

public:
    MPAEncoderDlg(EncoderSettings* hostSettings, const DialogParams* params, QWidget* parent = nullptr);
    ~MPAEncoderDlg() override;

    // The tallest the dialog may grow on a screen whose available area is
    // `availableHeight` pixels high: 95 %, truncated.
    static int maximumHeightFor(int availableHeight);

    // Runs the encoder's check on the working copy and shows its messages;
    // true when the settings pass.
    bool validateSettings();
    // Shows the state's item registered for `combo` with its signals blocked.
    void updateComboBox(QComboBox* combo, const ConfigState& state);

    // Applies the style sheet ":/res_mpa/skins/<name>.qss" and the banner.
    void setSkin(const QString& name);
    // Loads settings from `path` without asking; checks and refreshes on success.
    void loadSettingsFile(const QString& path);

    void initAudioTypes();
    // Derives every control's contents from the working copy.
    void refreshState();
    // Writes a change state into the working copy, then refreshes.
    void applyState(const ConfigState& state);

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void stateChanged(const ConfigState& state);

public slots:
    void slotAccept();
    void slotReject();
    void slotLoadSettings();
    void slotSaveSettings();
    void slotReceiveState(const ConfigState& state);
    void slotChangePreset(const QString& text);
    void slotRestorePreset();

protected:
    EncoderSettings* hostSettings = nullptr;
    EncoderSettings settings {};
    uint32_t flags = 0;
    std::unique_ptr<Ui::IMPAEncoderDlg> ui;
    QMap<QObject*, QString> itemNames;
    BasicPage* basicSettingsPage = nullptr;
    PresetMap presets;
    QString lastLoadDir;
    QString lastSaveDir;
    QPixmap bannerPixmap;

private:
    void emitItem(const QString& value);
};

#endif
