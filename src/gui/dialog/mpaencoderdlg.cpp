#include "mpaencoderdlg.h"

#include "entry/moduleentrypoints.h"
#include "model/statemodel.h"
#include "model/valuetables.h"
#include "pages/basicpage.h"
#include "platform/regularfile.h"
#include "ui_mpaencoderdlg.h"
#include "widgets/controlstate.h"
#include "widgets/errornotifier.h"

#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QImageReader>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QUrl>
#include <algorithm>
#include <cstring>

namespace {

// Suffixes of the files the settings-file module reads: settings files
// first, then the MPEG containers of the load dialog's second filter.
const char* const droppableSuffixes[]
    = { "cfg", "ini", "m2p", "m2t", "m4p", "mp2", "mp4", "mpa", "mpeg", "mpg", "mxf", "trp", "ts", "ifo" };

bool isDroppableFile(const QString& localPath)
{
    const QString suffix = QFileInfo(localPath).suffix();
    for (const char* candidate : droppableSuffixes) {
        if (suffix.compare(QLatin1String(candidate), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// The byte form of a name picked in a file dialog, as the settings-file
// module has always received it: UTF-8 read back as 8-bit text and encoded
// again. Plain ASCII names pass unchanged.
QByteArray dialogPathBytes(const QString& name)
{
    return QString::fromLatin1(name.toUtf8()).toUtf8();
}

// The last widget of the window's tab chain that Tab stops at.
QWidget* lastTabStop(QWidget* window)
{
    for (QWidget* widget = window->previousInFocusChain(); widget != window; widget = widget->previousInFocusChain()) {
        if (widget->focusPolicy() & Qt::TabFocus)
            return widget;
    }
    return window;
}

bool hasPreset(const PresetMap& presets, int32_t id)
{
    return std::find(presets.cbegin(), presets.cend(), id) != presets.cend();
}

MPAConfigFileFunc configFunction(int32_t id)
{
    const MPAConfigGetAPIExtFunc getApi = ModuleEntryPoints::mpaConfigGetAPIExt;
    return getApi ? getApi(id) : nullptr;
}

// The host's banner image; null when the path is not a readable regular file
// or holds no image. A FIFO or a device must not block the dialog.
QPixmap loadBanner(const QString& path)
{
    QFile file;
    if (!Platform::openRegularFile(path, &file))
        return QPixmap();
    QImageReader reader(&file);
    return QPixmap::fromImage(reader.read());
}

// Gives every list at least the size its entries need under the current
// skin. The forms' minimum sizes do not know the skins' padding and border,
// and the toolkit drops a sheet's minimum width again when the next sheet
// sets none, so without this a layout short of room squeezes the lists and
// cuts their texts.
void fitListsToEntries(const QWidget& root)
{
    for (QComboBox* list : root.findChildren<QComboBox*>())
        list->setMinimumSize(list->minimumSize().expandedTo(list->sizeHint()));
}

} // namespace

MPAEncoderDlg::MPAEncoderDlg(EncoderSettings* hostSettings, const DialogParams* params, QWidget* parent)
    : Logable(parent)
    , ui(new Ui::IMPAEncoderDlg)
{
    ui->setupUi(this);
    setLogWidget(ui->errorLog);

    Q_INIT_RESOURCE(res_mpa);

    setWindowTitle(params->title ? QString::fromLatin1(params->title) : tr(ValueTables::windowTitles[1]));
    if (params->banner)
        bannerPixmap = loadBanner(QString::fromLatin1(params->banner));

    ui->presetButton->setIcon(QIcon(QPixmap(QStringLiteral(":/res_mpa/icons/restore.png"))));
    ui->buttonLoad->setIcon(QIcon(QPixmap(QStringLiteral(":/res_mpa/icons/load.png"))));
    ui->buttonSave->setIcon(QIcon(QPixmap(QStringLiteral(":/res_mpa/icons/save.png"))));
    ui->buttonOk->setIcon(QIcon(QPixmap(QStringLiteral(":/res_mpa/icons/ok.png"))));
    ui->buttonCancel->setIcon(QIcon(QPixmap(QStringLiteral(":/res_mpa/icons/cancel.png"))));

    initAudioTypes();
    itemNames.insert(ui->presetList, ItemName::AudioType);
    itemNames.insert(ui->presetButton, ItemName::RestorePreset);
    ui->presetList->clear();
    for (auto it = presets.cbegin(); it != presets.cend(); ++it)
        ui->presetList->addItem(it.key());

    flags = params->flags;
    this->hostSettings = hostSettings;
    if (hostSettings)
        std::memcpy(&settings, hostSettings, sizeof settings);

    if (!hasPreset(presets, settings.audioType))
        settings.audioType = normalizeAudioType(settings.audioType);

    if (flags & VL_FLAG_HIDE_BANNER)
        ui->bannerFrame->hide();

    connect(ui->presetList, SIGNAL(textActivated(QString)), this, SLOT(slotChangePreset(QString)));
    connect(ui->presetButton, SIGNAL(clicked()), this, SLOT(slotRestorePreset()));
    connect(this, SIGNAL(stateChanged(ConfigState)), this, SLOT(slotReceiveState(ConfigState)));

    ui->tabWidget->clear();
    if (flags & VL_FLAG_BASIC_SETTINGS) {
        basicSettingsPage = new BasicPage(this);
        ui->tabWidget->addTab(basicSettingsPage, tr("Basic Settings"));
        connect(basicSettingsPage, SIGNAL(stateChanged(ConfigState)), this, SLOT(slotReceiveState(ConfigState)));
        // The page is built after the form: Tab reaches its controls before
        // Cancel and OK, which close the dialog.
        QWidget::setTabOrder(lastTabStop(this), ui->buttonCancel);
        QWidget::setTabOrder(ui->buttonCancel, ui->buttonOk);
    }

    if (!(flags & VL_FLAG_LOAD_SAVE)) {
        ui->buttonLoad->hide();
        ui->buttonSave->hide();
    } else if (!(flags & VL_FLAG_NO_INITIAL_CHECK)) {
        validateSettings();
    }

    if (!(flags & VL_FLAG_COLOURED_MESSAGES)) {
        const QColor plain = messageColor(Info);
        setMessageColor(Warning, plain);
        setMessageColor(Error, plain);
    }

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        setMaximumHeight(maximumHeightFor(screen->availableGeometry().height()));

    refreshState();

    lastLoadDir = QStringLiteral("./");
    lastSaveDir = QStringLiteral("./");

    ui->tabWidget->setAcceptDrops(true);
    ui->tabWidget->installEventFilter(this);
    installEventFilter(this);

    connect(ErrorNotifier::instance(), SIGNAL(logEvent(QString, MessageLevel)), this,
        SLOT(slotOnLog(QString, MessageLevel)));

    // The skin comes last: a widget added below a widget with a style sheet
    // is styled again with each widget its subtree gains, so the sheet is
    // set once, on the finished tree.
    setSkin(QStringLiteral("default"));
    ensurePolished();
    fitListsToEntries(*this);
    adjustSize();
}

MPAEncoderDlg::~MPAEncoderDlg()
{
    Q_CLEANUP_RESOURCE(res_mpa);
}

int MPAEncoderDlg::maximumHeightFor(int availableHeight)
{
    return static_cast<int>(availableHeight * 0.95);
}

bool MPAEncoderDlg::validateSettings()
{
    const MpegOutAudioChkSettingsFunc check = ModuleEntryPoints::mpegOutAudioChkSettings;
    const int32_t result = check ? check(&ErrorNotifier::instance()->callbacks, &settings, settings.audioType,
                               settings.sampleFrequency, 0, nullptr)
                                 : 0;
    flushMessages();
    return result == 0;
}

void MPAEncoderDlg::updateComboBox(QComboBox* combo, const ConfigState& state)
{
    ControlState::showItem(combo, state.value(itemNames.value(combo)));
}

void MPAEncoderDlg::setSkin(const QString& name)
{
    QFile sheet(QStringLiteral(":/res_mpa/skins/") + name + QStringLiteral(".qss"));
    QByteArray bytes;
    if (sheet.open(QIODevice::ReadOnly))
        bytes = sheet.readAll();
    // Taken as a NUL-terminated string: a sheet with a NUL byte ends there.
    setStyleSheet(QString::fromLatin1(bytes.constData()));
    sheet.close();
    fitListsToEntries(*this);

    if (bannerPixmap.isNull()) {
        ui->bannerFrame->setPixmap(QPixmap(QStringLiteral(":/res_mpa/banners/banner.png")));
    } else {
        ui->bannerFrame->setPixmap(bannerPixmap);
        ui->bannerFrame->setAlignment(Qt::AlignCenter);
    }
}

void MPAEncoderDlg::initAudioTypes()
{
    for (const AudioTypeSource& source : audioTypeSources())
        presets.insert(tr(source.name), source.id);
}

void MPAEncoderDlg::refreshState()
{
    if (!hasPreset(presets, settings.audioType))
        settings.audioType = normalizeAudioType(settings.audioType);

    ConfigState presetState;
    presetState.insert(
        ItemName::AudioType, ConfigItem(presetName(presets, settings.audioType), !(flags & VL_FLAG_LOCK_AUDIO_TYPE)));
    updateComboBox(ui->presetList, presetState);

    if (basicSettingsPage)
        basicSettingsPage->updateState(derivePageState(settings));
}

void MPAEncoderDlg::applyState(const ConfigState& state)
{
    applyChangeState(settings, state, presets, ModuleEntryPoints::mpegOutAudioDefaults);
    refreshState();
}

void MPAEncoderDlg::slotAccept()
{
    if (!validateSettings())
        return;
    if (hostSettings)
        std::memcpy(hostSettings, &settings, VL_SETTINGS_RECORD_SIZE);
    accept();
}

void MPAEncoderDlg::slotReject()
{
    reject();
}

void MPAEncoderDlg::slotReceiveState(const ConfigState& state)
{
    applyState(state);
    validateSettings();
}

void MPAEncoderDlg::slotChangePreset(const QString& text)
{
    emitItem(text);
}

void MPAEncoderDlg::slotRestorePreset()
{
    emitItem(ui->presetList->currentText());
}

void MPAEncoderDlg::emitItem(const QString& value)
{
    emit stateChanged(ControlState::itemState(itemNames, sender(), value));
}

void MPAEncoderDlg::slotLoadSettings()
{
    const QString name = QFileDialog::getOpenFileName(nullptr, tr("Load Config File..."), lastLoadDir,
        tr("Config Files (*.cfg *.ini);;MPEG Files (*.m2p *.m2t "
           "*.m4p *.mp2 *.mp4 *.mpa *.mpeg *.mpg *.mxf *.trp *.ts "
           "*.ifo)"));
    if (name.isEmpty())
        return;

    const QByteArray path = dialogPathBytes(name);
    if (const MPAConfigFileFunc load = configFunction(VL_CONFIG_API_LOAD)) {
        if (load(&settings, path.constData()) == 0) {
            validateSettings();
            refreshState();
        }
    }
    lastLoadDir = QFileInfo(name).absolutePath();
}

void MPAEncoderDlg::loadSettingsFile(const QString& path)
{
    const MPAConfigFileFunc load = configFunction(VL_CONFIG_API_LOAD);
    if (!load)
        return;
    if (load(&settings, path.toUtf8().constData()) == 0) {
        validateSettings();
        refreshState();
    }
}

void MPAEncoderDlg::slotSaveSettings()
{
    QString name = QFileDialog::getSaveFileName(nullptr, tr("Save Config File..."), lastSaveDir,
        tr("Config Files (*.cfg *.ini)"), nullptr, QFileDialog::DontConfirmOverwrite);
    if (name.isEmpty())
        return;

    const QString lower = name.toLower();
    if (!lower.endsWith(QLatin1String(".cfg")) && !lower.endsWith(QLatin1String(".ini")))
        name += QLatin1String(".ini");

    if (QFile::exists(name)) {
        const QMessageBox::StandardButton answer = QMessageBox::question(this, tr(ValueTables::windowTitles[0]),
            tr("File already exists.\nDo you want to overwrite it?"), QMessageBox::Yes | QMessageBox::No,
            QMessageBox::NoButton);
        if (answer != QMessageBox::Yes)
            return;
    }

    const QByteArray path = dialogPathBytes(name);
    // Invalid settings are saved too; the check only shows what is wrong.
    validateSettings();
    if (const MPAConfigFileFunc save = configFunction(VL_CONFIG_API_SAVE))
        save(&settings, path.constData());
    lastSaveDir = QFileInfo(name).absolutePath();
}

bool MPAEncoderDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (!watched->isWidgetType())
        return false;

    if (watched == this) {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_F5)
                setSkin(QStringLiteral("default"));
            else if (key == Qt::Key_F6)
                setSkin(QStringLiteral("metal"));
        }
        return false;
    }

    if (watched == ui->tabWidget) {
        if (event->type() == QEvent::DragEnter) {
            auto* const drag = static_cast<QDragEnterEvent*>(event);
            const QMimeData* const data = drag->mimeData();
            if (data && data->hasUrls() && !data->urls().isEmpty()
                && isDroppableFile(data->urls().constFirst().toLocalFile()))
                drag->acceptProposedAction();
        } else if (event->type() == QEvent::Drop) {
            auto* const drop = static_cast<QDropEvent*>(event);
            const QMimeData* const data = drop->mimeData();
            if (data && data->hasUrls() && !data->urls().isEmpty()) {
                loadSettingsFile(data->urls().constFirst().toLocalFile());
                drop->acceptProposedAction();
            }
        }
    }
    return false;
}
