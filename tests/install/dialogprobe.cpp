// Preloaded (LD_PRELOAD) into a host program of the installed tree: once the
// dialog library has created its application object and shown the modal
// dialog, writes what the dialog shows and which of the family's binaries
// the process loaded from where, then presses the dialog's Cancel button.
//
// Report lines ("key=value") go to the file named by VL_PROBE_REPORT:
//   title=<window title>        tab=<first tab's text>
//   name.<button>=<accessible name of the button>
//   loaded=<path of a loaded library or module of the family>
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QTabWidget>
#include <QTextStream>
#include <QWidget>
#include <link.h>

namespace {

const char* const familyNames[]
    = { "/libvl_gui_mpa.so", "/vl_config_mpa.so", "/vl_enc_mpa.so", "/vl_mfimport.so", "/gui_mpa_localize.so" };
const char* const buttonNames[] = { "presetButton", "buttonLoad", "buttonSave", "buttonOk", "buttonCancel" };

int collectFamily(dl_phdr_info* info, size_t /*size*/, void* data)
{
    const QString path = QFile::decodeName(info->dlpi_name);
    for (const char* name : familyNames) {
        if (path.contains(QLatin1String(name)))
            static_cast<QStringList*>(data)->append(path);
    }
    return 0;
}

void report(QWidget* dialog)
{
    QFile file(qEnvironmentVariable("VL_PROBE_REPORT"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    QTextStream out(&file);
    out << "title=" << dialog->windowTitle() << '\n';
    if (const auto* tabs = dialog->findChild<QTabWidget*>(); tabs && tabs->count() > 0)
        out << "tab=" << tabs->tabText(0) << '\n';
    for (const char* name : buttonNames) {
        auto* const button = dialog->findChild<QAbstractButton*>(QLatin1String(name));
        QAccessibleInterface* const accessible = button ? QAccessible::queryAccessibleInterface(button) : nullptr;
        if (accessible)
            out << "name." << name << '=' << accessible->text(QAccessible::Name) << '\n';
    }
    QStringList loaded;
    dl_iterate_phdr(collectFamily, &loaded);
    for (const QString& path : loaded)
        out << "loaded=" << path << '\n';
}

// Polls for the modal dialog; lets it be shown a few ticks before acting.
class DialogProbe : public QObject
{
public:
    explicit DialogProbe(QObject* parent)
        : QObject(parent)
        , timerId(startTimer(20))
    {
    }

protected:
    void timerEvent(QTimerEvent* /*event*/) override
    {
        QWidget* const dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible() || ++ticks < 5)
            return;
        killTimer(timerId);
        report(dialog);
        if (auto* const cancel = dialog->findChild<QAbstractButton*>(QStringLiteral("buttonCancel")))
            cancel->click();
    }

private:
    int timerId;
    int ticks = 0;
};

void arm()
{
    // The application object is still being built: start polling once its
    // event loop (the dialog's) runs.
    QObject* const application = QCoreApplication::instance();
    QMetaObject::invokeMethod(
        application, [application] { new DialogProbe(application); }, Qt::QueuedConnection);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(arm)
