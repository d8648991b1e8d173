// Module loading by name from the one directory beside this test (which
// holds the loader code) and on its run path. The settings-file module's
// loading is seen end to end (tests/e2e: failed starts).
#include "entry/moduleentrypoints.h"
#include "rows.h"

#include <QDir>
#include <QtTest>
#include <cstring>
#include <dlfcn.h>

namespace {
QStringList debugMessages;

const QString uses = QStringLiteral("MPEG-1/2 Audio Encoder Dialog uses %1.dll");
const QString local = QStringLiteral("MPEG-1/2 Audio Encoder Dialog uses local functionality.\n");
const QDir moduleDir(QStringLiteral(VL_MODULE_DIR));

// Fills the module directory with "<variant>/<file>" test modules.
bool provide(const QStringList& modules)
{
    for (const QString& file : moduleDir.entryList({ QStringLiteral("*.so"), QStringLiteral("*.log") }, QDir::Files))
        QFile::remove(moduleDir.filePath(file));
    return std::all_of(modules.begin(), modules.end(), [](const QString& module) {
        return QFile::copy(
            QStringLiteral(VL_TESTMODULES_DIR "/") + module, moduleDir.filePath(module.section('/', -1)));
    });
}

// A symbol of a module file of the module directory, if that module is
// loaded (RTLD_NOLOAD never loads it).
void* symbolOf(const QString& file, const char* symbol)
{
    void* const handle = dlopen(QFile::encodeName(moduleDir.filePath(file)).constData(), RTLD_NOW | RTLD_NOLOAD);
    void* const address = handle ? dlsym(handle, symbol) : nullptr;
    if (handle)
        dlclose(handle);
    return address;
}

// name, modules provided, debug messages, the encoder module's file (empty:
// the built-in fallbacks), whether the import module is loaded
const std::tuple<const char*, QStringList, QStringList, QString, bool> rows[] = {
    { "encoder and import modules", { "standard/vl_enc_mpa.so", "standard/vl_mfimport.so" },
        { uses.arg("vl_enc_mpa"), uses.arg("vl_mfimport") }, "vl_enc_mpa.so", true },
    { "first name wins", { "standard/vl_enc_mpa.so", "standard/vl_mpgaout.so" }, { uses.arg("vl_enc_mpa") },
        "vl_enc_mpa.so", false },
    { "only the second name", { "standard/vl_mpgaout.so" }, { uses.arg("vl_mpgaout") }, "vl_mpgaout.so", false },
    { "no modules", {}, { local }, "", false },
    { "check entry point missing", { "nocheck/vl_enc_mpa.so" }, { uses.arg("vl_enc_mpa"), local }, "", false },
};
} // namespace

class TestModuleLoading : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { unloadEncoderModules(); }

    void encoderModules_data() { addRows(rows); }

    // Each row loads over the modules of an earlier load and must forget
    // them. Each entry point is the module's own or the built-in one;
    // unloading releases every module and forgets every entry point.
    void encoderModules()
    {
        const auto& [name, modules, expectedDebug, encoderFile, importLoaded] = currentRow(rows);
        QVERIFY(provide({ "standard/vl_enc_mpa.so", "standard/vl_mfimport.so" }));
        loadEncoderModules();
        QVERIFY(provide(modules));
        debugMessages.clear();
        const QtMessageHandler previous
            = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
                  if (type == QtDebugMsg)
                      debugMessages << text;
              });
        QCOMPARE(loadEncoderModules(), 0);
        qInstallMessageHandler(previous);
        QCOMPARE(debugMessages, expectedDebug);
        using namespace ModuleEntryPoints;
        const bool fallback = encoderFile.isEmpty();
        QCOMPARE(QString::fromLocal8Bit(fallback ? "" : encoderModule->fileName.data()), encoderFile);
        const auto from = [&](auto function, auto builtIn, const char* symbol) {
            const auto address = reinterpret_cast<void*>(function);
            return function && address == (fallback ? reinterpret_cast<void*>(builtIn) : symbolOf(encoderFile, symbol));
        };
        QVERIFY(from(mpegOutAudioDefaults, &BuiltinEncoder::audioDefaults, "mpegOutAudioDefaults"));
        QVERIFY(from(mpegOutAudioChkSettings, &BuiltinEncoder::audioChkSettings, "mpegOutAudioChkSettings"));
        QCOMPARE(importModule->loaded, int(importLoaded));
        QCOMPARE(mpegInInfoInit && mpegInGetInfo, importLoaded);
        unloadEncoderModules();
        QVERIFY(!encoderModule && !importModule);
        QVERIFY(!mpegOutAudioDefaults && !mpegOutAudioChkSettings && !mpegInInfoInit && !mpegInGetInfo);
        for (const char* file : { "vl_enc_mpa.so", "vl_mpgaout.so", "vl_mfimport.so" })
            QVERIFY(!symbolOf(QLatin1String(file), "mpegInInfoInit")
                && !symbolOf(QLatin1String(file), "mpegOutAudioDefaults"));
    }

    void builtinDefaultsZeroTheRecordHalf()
    {
        EncoderSettings settings;
        std::memset(&settings, 0x6b, sizeof settings);
        EncoderSettings expected = settings;
        std::memset(&expected, 0, VL_SETTINGS_RECORD_SIZE);
        QCOMPARE(BuiltinEncoder::audioDefaults(&settings, VL_AUDIO_MPEG2_DVD), 0);
        QVERIFY(std::memcmp(&settings, &expected, sizeof settings) == 0);
        QCOMPARE(BuiltinEncoder::audioChkSettings(nullptr, &settings, 0, 48000, 0, nullptr), 0);
    }
};

QTEST_GUILESS_MAIN(TestModuleLoading)
#include "tst_moduleloading.moc"
