// Preloaded (LD_PRELOAD) into a host program of the installed tree: once the
// modal dialog shows, writes title=, tab= (the first tab), name.buttonCancel=
// (its accessible name) and loaded= (each library or module of the family the
// process loaded) lines to the file VL_PROBE_REPORT, then presses Cancel.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>
#include <link.h>

namespace {

void report(QWidget* dialog, QAbstractButton* cancel)
{
    QFile file(qEnvironmentVariable("VL_PROBE_REPORT"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text))
        return;
    QTextStream out(&file);
    out << "title=" << dialog->windowTitle() << '\n';
    if (const auto* tabs = dialog->findChild<QTabWidget*>(); tabs && tabs->count() > 0)
        out << "tab=" << tabs->tabText(0) << '\n';
    out << "name.buttonCancel=" << QAccessible::queryAccessibleInterface(cancel)->text(QAccessible::Name) << '\n';
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* stream) {
            static const QRegularExpression family(
                "/(libvl_gui_mpa|vl_config_mpa|vl_enc_mpa|vl_mfimport|gui_mpa_localize)\\.so");
            if (const QString path = QFile::decodeName(info->dlpi_name); path.contains(family))
                *static_cast<QTextStream*>(stream) << "loaded=" << path << '\n';
            return 0;
        },
        &out);
}

// Polls for the modal dialog once the application's event loop (the
// dialog's) runs, and lets it be shown a few ticks before acting.
void arm()
{
    auto* const timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, ticks = 0]() mutable {
        QWidget* const dialog = QApplication::activeModalWidget();
        auto* const cancel = dialog ? dialog->findChild<QAbstractButton*>(QStringLiteral("buttonCancel")) : nullptr;
        if (!cancel || !dialog->isVisible() || ++ticks < 5)
            return;
        timer->stop();
        report(dialog, cancel);
        cancel->click();
    });
    timer->start(20);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(arm)
