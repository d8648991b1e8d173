#include "mpegaudiopage.h"

#include "model/valuetables.h"
#include "ui_mpegaudiopage.h"
#include "widgets/controlstate.h"

namespace {

void appendTranslated(QComboBox* list, const char* const* sources)
{
    for (const char* const* source = sources; *source; ++source)
        list->addItem(ValueTables::translateLatin1("MPEGAudioPage", *source));
}

} // namespace

MPEGAudioPage::MPEGAudioPage(QWidget* parent)
    : QFrame(parent)
    , ui(std::make_unique<Ui::IMPEGAudioPage>())
{
    ui->setupUi(this);

    itemNames.insert(ui->layerList, ItemName::Layer);
    itemNames.insert(ui->modeList, ItemName::Mode);
    itemNames.insert(ui->bitrateList, ItemName::Bitrate);
    itemNames.insert(ui->psychList, ItemName::PsychModel);
    itemNames.insert(ui->emphasisList, ItemName::Emphasis);
    itemNames.insert(ui->privateCheck, ItemName::Private);
    itemNames.insert(ui->copyrightCheck, ItemName::Copyright);
    itemNames.insert(ui->crcCheck, ItemName::ErrorProtection);
    itemNames.insert(ui->originalCheck, ItemName::Original);

    // textActivated fires on every user choice, also of the current entry,
    // and never for programmatic changes.
    connect(ui->layerList, SIGNAL(textActivated(QString)), this, SLOT(slotChangeLayer(QString)));
    connect(ui->modeList, SIGNAL(textActivated(QString)), this, SLOT(slotChangeMode(QString)));
    connect(ui->bitrateList, SIGNAL(textActivated(QString)), this, SLOT(slotChangeBitrate(QString)));
    connect(ui->psychList, SIGNAL(textActivated(QString)), this, SLOT(slotChangePsychModel(QString)));
    connect(ui->emphasisList, SIGNAL(textActivated(QString)), this, SLOT(slotChangeEmphasis(QString)));
    connect(ui->privateCheck, SIGNAL(toggled(bool)), this, SLOT(slotTogglePrivateBit(bool)));
    connect(ui->copyrightCheck, SIGNAL(toggled(bool)), this, SLOT(slotToggleCopyrightBit(bool)));
    connect(ui->crcCheck, SIGNAL(toggled(bool)), this, SLOT(slotToggleErrorProtectionBit(bool)));
    connect(ui->originalCheck, SIGNAL(toggled(bool)), this, SLOT(slotToggleOriginalBit(bool)));
}

MPEGAudioPage::~MPEGAudioPage() = default;

void MPEGAudioPage::fillLists()
{
    for (QComboBox* list : { ui->layerList, ui->modeList, ui->bitrateList, ui->psychList, ui->emphasisList })
        list->clear();
    appendTranslated(ui->layerList, ValueTables::layerSources);
    appendTranslated(ui->modeList, ValueTables::modeSources);
    appendTranslated(ui->psychList, ValueTables::psychModelSources);
    appendTranslated(ui->emphasisList, ValueTables::emphasisSources);
}

void MPEGAudioPage::updateState(const ConfigState& state)
{
    // The bitrate entries first, so the bitrate is looked up in the list
    // that fits the new frequency and layer.
    updateBitrateList(state);
    for (QComboBox* list : { ui->layerList, ui->modeList, ui->bitrateList, ui->psychList, ui->emphasisList })
        updateComboBox(list, state);
    for (QCheckBox* box : { ui->privateCheck, ui->copyrightCheck, ui->crcCheck, ui->originalCheck })
        updateCheckBox(box, state);
}

void MPEGAudioPage::updateBitrateList(const ConfigState& state)
{
    // Signals stay unblocked: the page listens only to textActivated, which
    // programmatic changes do not emit.
    ui->bitrateList->clear();
    const int frequency = state.value(ItemName::AudioFrequency).value.toInt();
    const auto layer = state.constFind(ItemName::Layer);
    const bool layer1 = layer != state.cend() && ValueTables::layerCode(layer->value.toString()) == 1;
    const char* const* table = ValueTables::bitrateTable(frequency, layer1);
    for (int slot = 1; table[slot]; ++slot)
        ui->bitrateList->addItem(ValueTables::translateLatin1("MPEGAudioPage", table[slot]));
}

void MPEGAudioPage::updateComboBox(QComboBox* list, const ConfigState& state)
{
    ControlState::showItem(list, state.value(itemNames.value(list)));
}

void MPEGAudioPage::updateCheckBox(QCheckBox* box, const ConfigState& state)
{
    ControlState::showItem(box, state.value(itemNames.value(box)));
}

ConfigState MPEGAudioPage::senderState(const QVariant& value) const
{
    return ControlState::itemState(itemNames, sender(), value);
}

void MPEGAudioPage::slotChangeLayer(const QString& text)
{
    const ConfigState state = senderState(text);
    // Until the owner answers, show the bitrates of the chosen layer.
    updateBitrateList(state);
    emit stateChanged(state);
}

void MPEGAudioPage::slotChangeMode(const QString& text)
{
    emit stateChanged(senderState(text));
}

void MPEGAudioPage::slotChangeBitrate(const QString& text)
{
    emit stateChanged(senderState(text));
}

void MPEGAudioPage::slotChangePsychModel(const QString& text)
{
    emit stateChanged(senderState(text));
}

void MPEGAudioPage::slotChangeEmphasis(const QString& text)
{
    emit stateChanged(senderState(text));
}

void MPEGAudioPage::slotTogglePrivateBit(bool checked)
{
    emit stateChanged(senderState(checked));
}

void MPEGAudioPage::slotToggleCopyrightBit(bool checked)
{
    emit stateChanged(senderState(checked));
}

void MPEGAudioPage::slotToggleErrorProtectionBit(bool checked)
{
    emit stateChanged(senderState(checked));
}

void MPEGAudioPage::slotToggleOriginalBit(bool checked)
{
    emit stateChanged(senderState(checked));
}
