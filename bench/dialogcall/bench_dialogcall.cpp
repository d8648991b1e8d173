// Measures whole calls of showMPAEncoderPages -- load the companion modules,
// look up the translation, build the dialog, show it, close it, release
// everything -- beside a bare QDialog with the same widget tree: the
// library's own forms with the same texts, list entries, fonts, icons, banner
// and "default" skin, shown by exec() and closed the same way, without
// modules, translation, resources of its own, settings or checks. Every
// dialog, real or bare, is rejected right after its first paint.
//
// Prints, in one run:
//   - the host-application run (this process's QApplication is passed in),
//     first call and the median of the later calls;
//   - the standalone run from a bare process: a child of this program without
//     a QApplication, so that each call constructs its own; first call and
//     later calls, beside bare dialogs under their own QApplication;
//   - the ratios to the bare dialog, and the bare widget tree without icons,
//     banner and style sheet for scale;
//   - where a later host-application call's time goes: module loading,
//     translation lookup, and the widget stages (form, style sheet, first
//     layout, show) measured on the bare dialog; the rest is the dialog's own
//     work.
// Times are processor time of the process, in milliseconds; the kinds of run
// take turns, so that a busy machine disturbs them alike.
//
//   bench_dialogcall [calls]             (default 20 later calls per figure)
//   bench_dialogcall --host-only [calls] only host-application calls, or
//   bench_dialogcall --bare-only [calls] only bare dialogs, each for
//                                        valgrind --tool=callgrind
//
// Runs on the offscreen platform unless QT_QPA_PLATFORM names another.

#include "entry/moduleentrypoints.h"
#include "model/audiotypes.h"
#include "model/valuetables.h"
#include "ui_basicpage.h"
#include "ui_mpaencoderdlg.h"
#include "ui_mpegaudiopage.h"
#include "widgets/toolbox.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLocale>
#include <QProcess>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <functional>
#include <vector>
#include <veltrano/mpa_dialog.h>

namespace {

// Basic page, Load and Save, no check before the first change, coloured
// messages: the flags of the README's example host.
constexpr uint32_t dialogFlags
    = VL_FLAG_BASIC_SETTINGS | VL_FLAG_LOAD_SAVE | VL_FLAG_NO_INITIAL_CHECK | VL_FLAG_COLOURED_MESSAGES;

// Rejects every dialog window after its first paint; armed in every
// QApplication of the process, the library's own ones included.
class FirstPaintCloser : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || !watched->isWidgetType())
            return false;
        auto* const dialog = qobject_cast<QDialog*>(watched);
        if (dialog && dialog->isWindow() && !dialog->property("vlBenchClosing").toBool()) {
            dialog->setProperty("vlBenchClosing", true);
            QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
        }
        return false;
    }
};

void armCloser()
{
    qApp->installEventFilter(new FirstPaintCloser(qApp));
}
Q_COREAPP_STARTUP_FUNCTION(armCloser)

// The dialog's widget tree from the library's forms, with the texts, list
// entries and fonts the dialog shows; with `skinned`, also its icons and
// banner (the style sheet is set by the caller, on the finished tree).
class BareDialog : public QDialog
{
    Q_OBJECT

public:
    explicit BareDialog(bool skinned)
    {
        dialogForm.setupUi(this);
        if (skinned) {
            const std::pair<QAbstractButton*, const char*> icons[] = { { dialogForm.presetButton, "restore" },
                { dialogForm.buttonLoad, "load" }, { dialogForm.buttonSave, "save" }, { dialogForm.buttonOk, "ok" },
                { dialogForm.buttonCancel, "cancel" } };
            for (const auto& [button, name] : icons)
                button->setIcon(QIcon(QPixmap(QStringLiteral(":/res_mpa/icons/%1.png").arg(QLatin1String(name)))));
            dialogForm.bannerFrame->setPixmap(QPixmap(QStringLiteral(":/res_mpa/banners/banner.png")));
        }
        for (const AudioTypeSource& source : audioTypeSources())
            dialogForm.presetList->addItem(QString::fromLatin1(source.name));
        dialogForm.tabWidget->clear();

        auto* const page = new QFrame(this);
        basicForm.setupUi(page);
        auto* const audio = new QFrame(page);
        audioForm.setupUi(audio);
        const std::pair<QComboBox*, const char* const*> lists[] = { { audioForm.layerList, ValueTables::layerSources },
            { audioForm.modeList, ValueTables::modeSources }, { audioForm.psychList, ValueTables::psychModelSources },
            { audioForm.emphasisList, ValueTables::emphasisSources },
            { audioForm.bitrateList, ValueTables::bitrateTable(48000, false) + 1 } };
        for (const auto& [list, entries] : lists) {
            for (const char* const* entry = entries; *entry; ++entry)
                list->addItem(QString::fromLatin1(*entry));
        }
        auto* const toolBox = new ToolBox(page);
        auto* const collection = new QVBoxLayout(basicForm.collectionFrame);
        collection->setContentsMargins(0, 0, 0, 0);
        collection->addWidget(toolBox);
        toolBox->addItem(audio, QStringLiteral("Audio Format"), QStringLiteral(":/res_mpa/icons/down.png"),
            QStringLiteral(":/res_mpa/icons/right.png"));
        QFont font;
        font.setWeight(QFont::Bold);
        toolBox->setFont(font);
        font.setWeight(QFont::Normal);
        audio->setFont(font);
        dialogForm.tabWidget->addTab(page, QStringLiteral("Basic Settings"));
    }

public slots:
    // The form connects its buttons to these.
    void slotAccept() { accept(); }
    void slotReject() { reject(); }
    void slotLoadSettings() { }
    void slotSaveSettings() { }

private:
    Ui::IMPAEncoderDlg dialogForm;
    Ui::IBasicPage basicForm;
    Ui::IMPEGAudioPage audioForm;
};

// Processor time of this process: other processes on a busy machine slow a
// call down in wall time, not in processor time.
class CpuTimer
{
public:
    CpuTimer() { start = now(); }
    double milliseconds() const { return (now() - start) / 1e6; }

private:
    static double now()
    {
        timespec time {};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &time);
        return double(time.tv_sec) * 1e9 + double(time.tv_nsec);
    }
    double start;
};

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// A first figure and the later ones, in milliseconds.
struct Series
{
    double first = 0;
    std::vector<double> later;
    double laterMedian() const { return median(later); }
    void add(bool isFirst, double value)
    {
        if (isFirst)
            first = value;
        else
            later.push_back(value);
    }
};

EncoderSettings hostSettings()
{
    EncoderSettings settings {};
    settings.layer = 2;
    settings.mode = VL_MODE_JOINT_STEREO;
    settings.bitrateIndex = 11;
    settings.psychModel = 1;
    settings.audioType = VL_AUDIO_MPEG1;
    settings.sampleFrequency = 48000;
    return settings;
}

ShowMPAEncoderPagesFunc loadDialogLibrary()
{
    void* const library = dlopen(VL_DIALOG_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    const auto show
        = library ? reinterpret_cast<ShowMPAEncoderPagesFunc>(dlsym(library, "showMPAEncoderPages")) : nullptr;
    if (!show)
        std::fprintf(stderr, "bench_dialogcall: cannot load %s: %s\n", VL_DIALOG_LIBRARY, dlerror());
    return show;
}

// One call; false unless the dialog ran and was rejected.
bool callDialog(ShowMPAEncoderPagesFunc show, uint32_t flags, intptr_t param)
{
    EncoderSettings settings = hostSettings();
    return show(&settings, flags, param) == VL_DIALOG_REJECTED;
}

QString defaultSkinSheet()
{
    QFile sheet(QStringLiteral(":/res_mpa/skins/default.qss"));
    return sheet.open(QIODevice::ReadOnly) ? QString::fromLatin1(sheet.readAll()) : QString();
}

// The bare dialog under the "default" skin.
void runBareDialog()
{
    BareDialog dialog(true);
    dialog.setStyleSheet(defaultSkinSheet());
    dialog.adjustSize();
    dialog.exec();
}

// The widget tree alone: no icons, banner or style sheet.
void runBareTree()
{
    BareDialog dialog(false);
    dialog.adjustSize();
    dialog.exec();
}

// Child modes: print one "<milliseconds>" line per call.
int childStandaloneCalls(int calls)
{
    const ShowMPAEncoderPagesFunc show = loadDialogLibrary();
    if (!show)
        return 1;
    for (int i = 0; i < calls; ++i) {
        const CpuTimer timer;
        if (!callDialog(show, dialogFlags, 0))
            return 1;
        std::printf("%.4f\n", timer.milliseconds());
    }
    return 0;
}

int childBareApplications(int runs, char* program)
{
    for (int i = 0; i < runs; ++i) {
        const CpuTimer timer;
        {
            int argc = 1;
            char* argv[] = { program, nullptr };
            QApplication application(argc, argv);
            runBareDialog();
        }
        std::printf("%.4f\n", timer.milliseconds());
    }
    return 0;
}

// Runs this program in a child mode and collects its figures.
Series childSeries(const QString& mode, int later)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), { mode, QString::number(later + 1) });
    Series series;
    if (!child.waitForFinished(600000) || child.exitCode() != 0) {
        std::fprintf(stderr, "bench_dialogcall: child %s failed\n", qPrintable(mode));
        return series;
    }
    const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
    bool isFirst = true;
    for (const QByteArray& line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        series.add(isFirst, line.toDouble());
        isFirst = false;
    }
    return series;
}

// The stages of one call of the bare dialog, with the modules and the
// translation of a dialog run before them.
struct Stages
{
    double modules = 0;
    double translation = 0;
    double form = 0;
    double styleSheet = 0;
    double firstLayout = 0;
    double show = 0;
};

Stages runStages(const QString& sheet)
{
    Stages stages;
    const CpuTimer timer;
    loadConfigModule();
    loadEncoderModules();
    unloadEncoderModules();
    unloadConfigModule();
    stages.modules = timer.milliseconds();
    loadLocalization(QCoreApplication::instance());
    releaseLocalization();
    const double afterTranslation = timer.milliseconds();
    auto dialog = std::make_unique<BareDialog>(true);
    const double afterForm = timer.milliseconds();
    dialog->setStyleSheet(sheet);
    dialog->ensurePolished();
    const double afterSheet = timer.milliseconds();
    dialog->adjustSize();
    const double afterLayout = timer.milliseconds();
    dialog->exec();
    const double afterShow = timer.milliseconds();
    dialog.reset();
    stages.translation = afterTranslation - stages.modules;
    stages.form = afterForm - afterTranslation + timer.milliseconds() - afterShow;
    stages.styleSheet = afterSheet - afterForm;
    stages.firstLayout = afterLayout - afterSheet;
    stages.show = afterShow - afterLayout;
    return stages;
}

// The library's debug output (which modules it found) would bury the figures.
void dropDebugOutput(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtDebugMsg)
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

void printRow(const char* name, const Series& series, const Series& reference)
{
    std::printf("  %-40s %9.2f %9.2f %9.2f\n", name, series.first, series.laterMedian(),
        series.laterMedian() / reference.laterMedian());
}

} // namespace

int main(int argc, char** argv)
{
    qInstallMessageHandler(dropDebugOutput);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const auto count = [&](int index) { return argc > index ? std::max(1, std::atoi(argv[index])) : 20; };
    if (argc > 1 && std::strcmp(argv[1], "--standalone-calls") == 0)
        return childStandaloneCalls(count(2));
    if (argc > 1 && std::strcmp(argv[1], "--bare-applications") == 0)
        return childBareApplications(count(2), argv[0]);
    const bool hostOnly = argc > 1 && std::strcmp(argv[1], "--host-only") == 0;
    const bool bareOnly = argc > 1 && std::strcmp(argv[1], "--bare-only") == 0;
    const int later = count(hostOnly || bareOnly ? 2 : 1);

    QApplication application(argc, argv);
    const ShowMPAEncoderPagesFunc show = loadDialogLibrary();
    if (!show)
        return 1;
    const auto hostCall = [&] {
        if (!callDialog(show, VL_FLAG_HOST_APPLICATION | dialogFlags, reinterpret_cast<intptr_t>(&application)))
            std::fprintf(stderr, "bench_dialogcall: a host-application call did not run its dialog\n");
    };
    if (hostOnly || bareOnly) {
        for (int i = 0; i <= later; ++i)
            hostOnly ? hostCall() : runBareDialog();
        return 0;
    }

    // The bare dialog comes first, so that the toolkit's own first-use costs
    // (fonts, style, platform) land there and not in the library's first call.
    Series bare, tree, host;
    std::vector<Stages> stages;
    const QString sheet = defaultSkinSheet();
    for (int i = 0; i <= later; ++i) {
        const std::pair<Series*, std::function<void()>> runs[]
            = { { &bare, runBareDialog }, { &tree, runBareTree }, { &host, hostCall } };
        for (const auto& [series, run] : runs) {
            const CpuTimer timer;
            run();
            series->add(i == 0, timer.milliseconds());
        }
        const Stages measured = runStages(sheet);
        if (i > 0)
            stages.push_back(measured);
    }
    const Series standalone = childSeries(QStringLiteral("--standalone-calls"), later);
    const Series bareStandalone = childSeries(QStringLiteral("--bare-applications"), later);

    std::printf("whole-call benchmark, Qt %s, platform %s, language %s, flags 0x%x, %d later calls\n", qVersion(),
        qPrintable(QGuiApplication::platformName()), qPrintable(QLocale::system().name()), dialogFlags, later);
    std::printf("processor time in ms; later: median of the later calls; ratio: later / bare dialog's later\n");
    std::printf("  %-40s %9s %9s %9s\n", "", "first", "later", "ratio");
    printRow("host-application run", host, bare);
    printRow("bare dialog (same tree, same look)", bare, bare);
    printRow("bare widget tree (no icons, no sheet)", tree, bare);
    printRow("standalone run, bare process", standalone, bareStandalone);
    printRow("bare dialog, own QApplication", bareStandalone, bareStandalone);

    const double whole = host.laterMedian();
    const auto stageMedian = [&](double Stages::*stage) {
        std::vector<double> values;
        for (const Stages& measured : stages)
            values.push_back(measured.*stage);
        return median(values);
    };
    const std::pair<const char*, double Stages::*> stageRows[]
        = { { "module loading and release", &Stages::modules }, { "translation lookup", &Stages::translation },
              { "form (build and destroy)", &Stages::form }, { "style sheet (set and polish)", &Stages::styleSheet },
              { "first layout", &Stages::firstLayout }, { "show (first paint, close)", &Stages::show } };
    std::printf("where a later host-application call's %.2f ms go (medians of each stage):\n", whole);
    double rest = whole;
    for (const auto& [name, stage] : stageRows) {
        const double value = stageMedian(stage);
        rest -= value;
        std::printf("  %-40s %9.2f %8.1f %%\n", name, value, whole > 0 ? 100 * value / whole : 0);
    }
    std::printf(
        "  %-40s %9.2f %8.1f %%\n", "the dialog's own work (the rest)", rest, whole > 0 ? 100 * rest / whole : 0);
    std::printf("target, later host-application calls at most 1.20 x the bare dialog: %.2f, %s\n",
        whole / bare.laterMedian(), whole <= 1.2 * bare.laterMedian() ? "met" : "missed");
    return 0;
}

#include "bench_dialogcall.moc"
