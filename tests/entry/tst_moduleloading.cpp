// Module loading by name: the modules are looked up beside this test (which
// holds the loader code) and through its run path, one directory that each
// case fills with the modules it needs.

#include "entry/moduleentrypoints.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <cstring>
#include <dlfcn.h>

namespace {
QStringList debugMessages;

void captureDebug(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtDebugMsg)
        debugMessages << message;
}

const QString uses = QStringLiteral("MPEG-1/2 Audio Encoder Dialog uses %1.dll");
const QString local = QStringLiteral("MPEG-1/2 Audio Encoder Dialog uses local functionality.\n");
const QDir moduleDir(QStringLiteral(VL_MODULE_DIR));

// Fills the module directory with "<variant>/<file>" entries. The directory
// itself stays: the loader does not look again into a run-path directory
// that was missing once.
bool provide(const QStringList& modules)
{
    for (const QString& file : moduleDir.entryList({ QStringLiteral("*.so"), QStringLiteral("*.log") }, QDir::Files))
        QFile::remove(moduleDir.filePath(file));
    for (const QString& module : modules) {
        if (!QFile::copy(QStringLiteral(VL_TESTMODULES_DIR "/") + module, moduleDir.filePath(module.section('/', -1))))
            return false;
    }
    return true;
}

QStringList callLog()
{
    QFile file(moduleDir.filePath(QStringLiteral("vl_testmodules.log")));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
                                          : QStringList();
}

// Address of a symbol of a module file of the module directory, if that
// module is loaded (RTLD_NOLOAD never loads it).
void* symbolOf(const QString& file, const char* symbol)
{
    void* const handle = dlopen(QFile::encodeName(moduleDir.filePath(file)).constData(), RTLD_NOW | RTLD_NOLOAD);
    void* const address = handle ? dlsym(handle, symbol) : nullptr;
    if (handle)
        dlclose(handle);
    return address;
}
} // namespace

class TestModuleLoading : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        unloadEncoderModules();
        unloadConfigModule();
    }

    void encoderModules_data()
    {
        QTest::addColumn<QStringList>("modules");
        QTest::addColumn<QStringList>("expectedDebug");
        QTest::addColumn<QString>("encoderFile"); // empty: the built-in fallbacks
        QTest::addColumn<bool>("importLoaded");
        QTest::newRow("encoder and import modules")
            << QStringList { "standard/vl_enc_mpa.so", "standard/vl_mfimport.so" }
            << QStringList { uses.arg("vl_enc_mpa"), uses.arg("vl_mfimport") } << "vl_enc_mpa.so" << true;
        QTest::newRow("first name wins") << QStringList { "standard/vl_enc_mpa.so", "standard/vl_mpgaout.so" }
                                         << QStringList { uses.arg("vl_enc_mpa") } << "vl_enc_mpa.so" << false;
        QTest::newRow("only the second name") << QStringList { "standard/vl_mpgaout.so" }
                                              << QStringList { uses.arg("vl_mpgaout") } << "vl_mpgaout.so" << false;
        QTest::newRow("no modules") << QStringList() << QStringList { local } << QString() << false;
        QTest::newRow("check entry point missing")
            << QStringList { "nocheck/vl_enc_mpa.so" } << QStringList { uses.arg("vl_enc_mpa"), local } << QString()
            << false;
    }

    void encoderModules()
    {
        QFETCH(QStringList, modules);
        QFETCH(QStringList, expectedDebug);
        QFETCH(QString, encoderFile);
        QFETCH(bool, importLoaded);
        QVERIFY(provide(modules));
        debugMessages.clear();
        const QtMessageHandler previous = qInstallMessageHandler(captureDebug);
        QCOMPARE(loadEncoderModules(), 0);
        qInstallMessageHandler(previous);
        QCOMPARE(debugMessages, expectedDebug);

        using namespace ModuleEntryPoints;
        if (encoderFile.isEmpty()) {
            QVERIFY(mpegOutAudioDefaults == &BuiltinEncoder::audioDefaults);
            QVERIFY(mpegOutAudioChkSettings == &BuiltinEncoder::audioChkSettings);
        } else {
            QCOMPARE(QString::fromLocal8Bit(encoderModule->fileName.data()), encoderFile);
            QVERIFY(mpegOutAudioDefaults
                && reinterpret_cast<void*>(mpegOutAudioDefaults) == symbolOf(encoderFile, "mpegOutAudioDefaults"));
            QVERIFY(
                reinterpret_cast<void*>(mpegOutAudioChkSettings) == symbolOf(encoderFile, "mpegOutAudioChkSettings"));
        }
        QCOMPARE(importModule->loaded, int(importLoaded));
        QCOMPARE(mpegInInfoInit && mpegInGetInfo, importLoaded);

        // Unloading releases every module and forgets every entry point.
        unloadEncoderModules();
        QVERIFY(!encoderModule && !importModule);
        QVERIFY(!mpegOutAudioDefaults && !mpegOutAudioChkSettings && !mpegInInfoInit && !mpegInGetInfo);
        if (!encoderFile.isEmpty())
            QVERIFY(!symbolOf(encoderFile, "mpegOutAudioDefaults"));
        QCOMPARE(
            callLog().filter(QStringLiteral(" detach")).size(), callLog().filter(QStringLiteral(" attach")).size());
    }

    void secondLoadForgetsTheFirst()
    {
        // The encoder module disappears between two loads: the second must
        // use the fallbacks, never the first module's entry points.
        QVERIFY(provide({ "standard/vl_enc_mpa.so" }));
        loadEncoderModules();
        QVERIFY(ModuleEntryPoints::mpegOutAudioChkSettings != &BuiltinEncoder::audioChkSettings);
        QVERIFY(provide({}));
        loadEncoderModules();
        QVERIFY(ModuleEntryPoints::mpegOutAudioChkSettings == &BuiltinEncoder::audioChkSettings);
        QVERIFY(ModuleEntryPoints::mpegOutAudioDefaults == &BuiltinEncoder::audioDefaults);
        QVERIFY(!symbolOf(QStringLiteral("vl_enc_mpa.so"), "mpegOutAudioDefaults"));
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

    void settingsFileModule_data()
    {
        QTest::addColumn<QStringList>("modules");
        QTest::addColumn<bool>("expected");
        QTest::addColumn<bool>("loaded");
        QTest::newRow("present") << QStringList { "standard/vl_config_mpa.so" } << true << true;
        QTest::newRow("absent") << QStringList() << false << false;
        QTest::newRow("entry point missing") << QStringList { "noentry/vl_config_mpa.so" } << false << true;
    }

    void settingsFileModule()
    {
        QFETCH(QStringList, modules);
        QFETCH(bool, expected);
        QFETCH(bool, loaded);
        QVERIFY(provide(modules));
        QCOMPARE(loadConfigModule(), expected);
        using namespace ModuleEntryPoints;
        QCOMPARE(configModule->loaded, int(loaded));
        QCOMPARE(mpaConfigGetAPIExt != nullptr, expected);
        // A failure keeps why it failed.
        QCOMPARE(configModule->lastError != 0 && configModule->errorText[0] != '\0', !expected);
        // A second load releases the first; unloading forgets the module.
        QCOMPARE(loadConfigModule(), expected);
        unloadConfigModule();
        QVERIFY(!configModule && !mpaConfigGetAPIExt);
        const QStringList cycle = { "vl_config_mpa attach", "vl_config_mpa detach" };
        QCOMPARE(callLog(), loaded ? cycle + cycle : QStringList());
    }
};

QTEST_GUILESS_MAIN(TestModuleLoading)
#include "tst_moduleloading.moc"
