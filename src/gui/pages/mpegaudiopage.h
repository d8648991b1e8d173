#ifndef VL_PAGES_MPEGAUDIOPAGE_H
#define VL_PAGES_MPEGAUDIOPAGE_H

#include "model/configstate.h"

#include <QFrame>
#include <QMap>
#include <memory>

class QCheckBox;
class QComboBox;

namespace Ui {
class IMPEGAudioPage;
}

// The panel with the layer, mode, bitrate, psychoacoustic model and emphasis
// lists and the four header-bit check boxes. It never writes settings: each
// user action leaves as a one-item state through stateChanged, and the owner
// answers with a full state through updateState.
class MPEGAudioPage : public QFrame
{
    Q_OBJECT

public:
    explicit MPEGAudioPage(QWidget* parent = nullptr);
    ~MPEGAudioPage() override;

    // Fills the layer, mode, psychoacoustic model and emphasis lists; the
    // owner calls it once after construction.
    void fillLists();
    // Sets every control from a full state, with the controls' signals
    // blocked, so the change loop is not entered again.
    void updateState(const ConfigState& state);

signals:
    void stateChanged(const ConfigState& state);

public slots:
    void slotChangeLayer(const QString& text);
    void slotChangeMode(const QString& text);
    void slotChangeBitrate(const QString& text);
    void slotChangePsychModel(const QString& text);
    void slotChangeEmphasis(const QString& text);
    void slotTogglePrivateBit(bool checked);
    void slotToggleCopyrightBit(bool checked);
    void slotToggleErrorProtectionBit(bool checked);
    void slotToggleOriginalBit(bool checked);

private:
    void updateBitrateList(const ConfigState& state);
    void updateComboBox(QComboBox* list, const ConfigState& state);
    void updateCheckBox(QCheckBox* box, const ConfigState& state);
    // The one-item state of the sending control with the given value.
    ConfigState senderState(const QVariant& value) const;

    std::unique_ptr<Ui::IMPEGAudioPage> ui;
    QMap<QObject*, QString> itemNames;
};

#endif
