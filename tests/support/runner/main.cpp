// Calls showMPAEncoderPages the way a plain host does: loads a library copy
// with dlopen and calls it without an application object of its own. A
// DialogDriver armed whenever the library starts its QApplication acts on
// the dialog, so no run can hang.
//
// Arguments are "name=value": library, flags, parent, calls, script and
// record-flags; "record" passes a DialogParams record (with "title", if
// given) instead of the parent. Reads settings.in from the working
// directory, prints "result=<code>" per call and "recordFlags=<value>", and
// writes settings.out and observations.txt there.

#include "dialogdriver.h"

#include <QApplication>
#include <QFile>
#include <QMap>
#include <cstdio>
#include <dlfcn.h>
#include <veltrano/mpa_dialog.h>

namespace {
QMap<QByteArray, QByteArray> options;
QStringList observations;

void armDriver()
{
    auto* const driver = new DialogDriver(qApp);
    driver->setSink([](const QString& line) { observations << line; });
    if (!driver->addScript(QString::fromUtf8(options.value("script"))))
        observations << QStringLiteral("unknown command in script");
    driver->start();
}
Q_COREAPP_STARTUP_FUNCTION(armDriver)
} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument = argv[i];
        const int equals = argument.indexOf('=');
        if (equals < 0)
            options.insert(argument, QByteArray());
        else
            options.insert(argument.left(equals), argument.mid(equals + 1));
    }
    const QByteArray libraryPath = options.value("library");
    void* const library = dlopen(libraryPath.constData(), RTLD_NOW | RTLD_LOCAL);
    const auto show
        = library ? reinterpret_cast<ShowMPAEncoderPagesFunc>(dlsym(library, "showMPAEncoderPages")) : nullptr;
    if (!show) {
        std::fprintf(stderr, "cannot load %s: %s\n", libraryPath.constData(), dlerror());
        return 2;
    }

    static EncoderSettings settings {};
    QFile in(QStringLiteral("settings.in"));
    if (in.open(QIODevice::ReadOnly))
        in.read(reinterpret_cast<char*>(&settings), sizeof settings);

    const QByteArray title = options.value("title");
    DialogParams record {};
    record.flags = options.value("record-flags").toUInt();
    record.parent = options.value("parent").toULongLong();
    record.title = options.contains("title") ? title.constData() : nullptr;
    const intptr_t param
        = options.contains("record") ? reinterpret_cast<intptr_t>(&record) : static_cast<intptr_t>(record.parent);

    for (int call = options.value("calls", "1").toInt(); call > 0; --call) {
        std::printf("result=%d\n", show(&settings, options.value("flags").toUInt(), param));
        std::fflush(stdout);
    }
    std::printf("recordFlags=%u\n", record.flags);
    QFile out(QStringLiteral("settings.out"));
    if (out.open(QIODevice::WriteOnly))
        out.write(reinterpret_cast<const char*>(&settings), sizeof settings);
    QFile observed(QStringLiteral("observations.txt"));
    if (observed.open(QIODevice::WriteOnly))
        observed.write(observations.join(QLatin1Char('\n')).toUtf8() + '\n');
    dlclose(library);
    return 0;
}
