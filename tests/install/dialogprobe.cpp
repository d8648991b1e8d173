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
#include <QTimer>
#include <link.h>

namespace {

void report(QWidget* dialog)
{
    QFile file(qEnvironmentVariable("VL_PROBE_REPORT"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    QTextStream out(&file);
    out << "title=" << dialog->windowTitle() << '\n';
    if (const auto* tabs = dialog->findChild<QTabWidget*>(); tabs && tabs->count() > 0)
        out << "tab=" << tabs->tabText(0) << '\n';
    for (const char* name : { "presetButton", "buttonLoad", "buttonSave", "buttonOk", "buttonCancel" }) {
        if (auto* const button = dialog->findChild<QAbstractButton*>(QLatin1String(name)))
            out << "name." << name << '=' << QAccessible::queryAccessibleInterface(button)->text(QAccessible::Name)
                << '\n';
    }
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* stream) {
            const QString path = QFile::decodeName(info->dlpi_name);
            for (const char* name : { "/libvl_gui_mpa.so", "/vl_config_mpa.so", "/vl_enc_mpa.so", "/vl_mfimport.so",
                     "/gui_mpa_localize.so" }) {
                if (path.contains(QLatin1String(name)))
                    *static_cast<QTextStream*>(stream) << "loaded=" << path << '\n';
            }
            return 0;
        },
        &out);
}

// Polls for the modal dialog; lets it be shown a few ticks before acting.
void arm()
{
    // The application object is still being built: start polling once its
    // event loop (the dialog's) runs.
    auto* const timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks = 0]() mutable {
        QWidget* const dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->isVisible() || ++ticks < 5)
            return;
        timer->stop();
        report(dialog);
        if (auto* const cancel = dialog->findChild<QAbstractButton*>(QStringLiteral("buttonCancel")))
            cancel->click();
    });
    timer->start(20);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(arm)
