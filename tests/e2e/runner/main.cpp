// Calls showMPAEncoderPages the way a host does: loads a library copy with
// dlopen and calls it, by default without an application object of its own.
// A DialogDriver armed whenever a QApplication starts (also the one the
// library constructs) acts on the dialog, so no run can hang.
//
// Prints "result=<code>" per call and "recordFlags=<value>" on stdout, writes
// the settings block after the last call and the driver's observations to
// the files given.

#include "dialogdriver.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <memory>
#include <veltrano/mpa_dialog.h>

namespace {
struct Options
{
    QByteArray library;
    QByteArray settingsIn;
    QByteArray settingsOut;
    QByteArray observations;
    QString script;
    QByteArray title;
    QByteArray banner;
    bool hasTitle = false;
    bool hasBanner = false;
    bool nullSettings = false;
    bool record = false;
    bool nullRecord = false;
    bool hostApplication = false;
    uint32_t flags = 0;
    uint32_t recordFlags = 0;
    uint64_t parent = 0;
    int calls = 1;
    int timeoutMs = 30000;
};

Options options;
QStringList observations;

void armDriver()
{
    auto* const driver = new DialogDriver(qApp);
    driver->setTimeout(options.timeoutMs);
    driver->setSink([](const QString& line) { observations << line; });
    if (!driver->addScript(options.script))
        observations << QStringLiteral("unknown command in script");
    driver->start();
}

// Runs when the library constructs its application object.
void armForLibraryApplication()
{
    if (!options.hostApplication)
        armDriver();
}
Q_COREAPP_STARTUP_FUNCTION(armForLibraryApplication)

bool parseArguments(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray name = argv[i];
        const auto value = [&]() -> QByteArray { return i + 1 < argc ? QByteArray(argv[++i]) : QByteArray(); };
        if (name == "--library")
            options.library = value();
        else if (name == "--settings-in")
            options.settingsIn = value();
        else if (name == "--settings-out")
            options.settingsOut = value();
        else if (name == "--observations")
            options.observations = value();
        else if (name == "--script")
            options.script = QString::fromUtf8(value());
        else if (name == "--flags")
            options.flags = value().toUInt();
        else if (name == "--record-flags")
            options.recordFlags = value().toUInt();
        else if (name == "--parent")
            options.parent = value().toULongLong();
        else if (name == "--calls")
            options.calls = value().toInt();
        else if (name == "--timeout")
            options.timeoutMs = value().toInt();
        else if (name == "--title")
            options.title = value(), options.hasTitle = true;
        else if (name == "--banner")
            options.banner = value(), options.hasBanner = true;
        else if (name == "--null-settings")
            options.nullSettings = true;
        else if (name == "--record")
            options.record = true;
        else if (name == "--null-record")
            options.nullRecord = true;
        else if (name == "--host-application")
            options.hostApplication = true;
        else
            return false;
    }
    return !options.library.isEmpty();
}

bool readSettings(EncoderSettings& settings)
{
    QFile file(QString::fromLocal8Bit(options.settingsIn));
    return file.open(QIODevice::ReadOnly)
        && file.read(reinterpret_cast<char*>(&settings), sizeof settings) == sizeof settings;
}

void writeOutputs(const EncoderSettings& settings)
{
    QFile out(QString::fromLocal8Bit(options.settingsOut));
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        out.write(reinterpret_cast<const char*>(&settings), sizeof settings);
    QFile observed(QString::fromLocal8Bit(options.observations));
    if (observed.open(QIODevice::WriteOnly | QIODevice::Truncate))
        observed.write(observations.join(QLatin1Char('\n')).toUtf8() + '\n');
}
} // namespace

int main(int argc, char** argv)
{
    if (!parseArguments(argc, argv)) {
        std::fprintf(stderr, "usage: %s --library PATH [options]\n", argv[0]);
        return 2;
    }
    void* const library = dlopen(options.library.constData(), RTLD_NOW | RTLD_LOCAL);
    const auto show
        = library ? reinterpret_cast<ShowMPAEncoderPagesFunc>(dlsym(library, "showMPAEncoderPages")) : nullptr;
    if (!show) {
        std::fprintf(stderr, "cannot load %s: %s\n", options.library.constData(), dlerror());
        return 2;
    }

    auto settings = std::make_unique<EncoderSettings>();
    if (!readSettings(*settings))
        std::memset(settings.get(), 0, sizeof *settings);

    std::unique_ptr<QApplication> application;
    int applicationArgc = 1;
    if (options.hostApplication)
        application = std::make_unique<QApplication>(applicationArgc, argv);
    const uint64_t parent = application ? reinterpret_cast<uintptr_t>(application.get()) : options.parent;

    DialogParams record;
    std::memset(&record, 0, sizeof record);
    record.flags = options.recordFlags;
    record.parent = parent;
    record.title = options.hasTitle ? options.title.constData() : nullptr;
    record.banner = options.hasBanner ? options.banner.constData() : nullptr;

    for (int call = 0; call < options.calls; ++call) {
        if (application)
            armDriver();
        intptr_t param = static_cast<intptr_t>(parent);
        if (options.record)
            param = reinterpret_cast<intptr_t>(&record);
        else if (options.nullRecord)
            param = 0;
        const int32_t result = show(options.nullSettings ? nullptr : settings.get(), options.flags, param);
        std::printf("result=%d\n", result);
        std::fflush(stdout);
    }
    std::printf("recordFlags=%u\n", record.flags);
    writeOutputs(*settings);
    application.reset();
    dlclose(library);
    return 0;
}
