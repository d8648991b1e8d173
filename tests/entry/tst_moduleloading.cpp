// Module loading by name: the modules are looked up beside this test (which
// holds the loader code) and through its run path, one directory that each
// case fills with the modules it needs.

#include "entry/moduleentrypoints.h"

#include <QDir>
#include <QFile>
#include <QtTest>
#include <algorithm>
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

const QString moduleDir = QStringLiteral(VL_MODULE_DIR);

// Fills the module directory with "<variant>/<file>" entries. The directory
// itself stays: the loader does not look again into a run-path directory
// that was missing once.
bool provide(const QStringList& modules)
{
    QDir dir(moduleDir);
    if (!dir.exists())
        return false;
    const QStringList present = dir.entryList({ QStringLiteral("*.so"), QStringLiteral("*.log") }, QDir::Files);
    for (const QString& file : present)
        dir.remove(file);
    for (const QString& module : modules) {
        const QString source = QStringLiteral(VL_TESTMODULES_DIR "/") + module;
        if (!QFile::copy(source, dir.filePath(module.section('/', -1))))
            return false;
    }
    return true;
}

QStringList callLog()
{
    QFile file(moduleDir + QStringLiteral("/vl_testmodules.log"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
                                          : QStringList();
}

// Address of a symbol of a module file of the module directory, if that
// module is loaded (RTLD_NOLOAD never loads it).
void* symbolOf(const QString& file, const char* symbol)
{
    const QByteArray path = QFile::encodeName(moduleDir + QLatin1Char('/') + file);
    void* const handle = dlopen(path.constData(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle)
        return nullptr;
    void* const address = dlsym(handle, symbol);
    dlclose(handle);
    return address;
}
} // namespace

class TestModuleLoading : public QObject
{
    Q_OBJECT

private slots:
    void init() { debugMessages.clear(); }

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
        QTest::addColumn<QString>("importFile");

        QTest::newRow("encoder and import modules")
            << QStringList { "standard/vl_enc_mpa.so", "standard/vl_mfimport.so" }
            << QStringList { uses.arg("vl_enc_mpa"), uses.arg("vl_mfimport") } << "vl_enc_mpa.so"
            << "vl_mfimport.so";
        QTest::newRow("first name wins") << QStringList { "standard/vl_enc_mpa.so", "standard/vl_mpgaout.so" }
                                         << QStringList { uses.arg("vl_enc_mpa") } << "vl_enc_mpa.so" << QString();
        QTest::newRow("only the second name") << QStringList { "standard/vl_mpgaout.so" }
                                              << QStringList { uses.arg("vl_mpgaout") } << "vl_mpgaout.so" << QString();
        QTest::newRow("no modules") << QStringList() << QStringList { local } << QString() << QString();
        QTest::newRow("check entry point missing")
            << QStringList { "nocheck/vl_enc_mpa.so" } << QStringList { uses.arg("vl_enc_mpa"), local } << QString()
            << QString();
    }

    void encoderModules()
    {
        QFETCH(QStringList, modules);
        QFETCH(QStringList, expectedDebug);
        QFETCH(QString, encoderFile);
        QFETCH(QString, importFile);
        QVERIFY(provide(modules));

        const QtMessageHandler previous = qInstallMessageHandler(captureDebug);
        const int result = loadEncoderModules();
        qInstallMessageHandler(previous);

        QCOMPARE(result, 0);
        QCOMPARE(debugMessages, expectedDebug);
        using namespace ModuleEntryPoints;
        QVERIFY(encoderModule && importModule);
        if (encoderFile.isEmpty()) {
            QVERIFY(mpegOutAudioDefaults == &BuiltinEncoder::audioDefaults);
            QVERIFY(mpegOutAudioChkSettings == &BuiltinEncoder::audioChkSettings);
        } else {
            QCOMPARE(QString::fromLocal8Bit(encoderModule->fileName.data()), encoderFile);
            QVERIFY(mpegOutAudioDefaults);
            QVERIFY(reinterpret_cast<void*>(mpegOutAudioDefaults) == symbolOf(encoderFile, "mpegOutAudioDefaults"));
            QVERIFY(
                reinterpret_cast<void*>(mpegOutAudioChkSettings) == symbolOf(encoderFile, "mpegOutAudioChkSettings"));
        }
        QCOMPARE(bool(mpegInInfoInit), !importFile.isEmpty());
        QCOMPARE(bool(mpegInGetInfo), !importFile.isEmpty());
        QCOMPARE(importModule->loaded, importFile.isEmpty() ? 0 : 1);
    }

    void unloadReleasesModules()
    {
        QVERIFY(provide({ "standard/vl_enc_mpa.so", "standard/vl_mfimport.so" }));
        loadEncoderModules();
        QVERIFY(symbolOf(QStringLiteral("vl_enc_mpa.so"), "mpegOutAudioDefaults"));
        unloadEncoderModules();

        using namespace ModuleEntryPoints;
        QVERIFY(!encoderModule && !importModule);
        QVERIFY(!mpegOutAudioDefaults && !mpegOutAudioChkSettings && !mpegInInfoInit && !mpegInGetInfo);
        QVERIFY(!symbolOf(QStringLiteral("vl_enc_mpa.so"), "mpegOutAudioDefaults"));
        QCOMPARE(callLog(),
            (QStringList { "vl_enc_mpa attach", "vl_mfimport attach", "vl_enc_mpa detach", "vl_mfimport detach" }));
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
        QCOMPARE(BuiltinEncoder::audioDefaults(&settings, VL_AUDIO_MPEG2_DVD), 0);
        const auto* bytes = reinterpret_cast<const unsigned char*>(&settings);
        QCOMPARE(std::count(bytes, bytes + VL_SETTINGS_RECORD_SIZE, 0), long(VL_SETTINGS_RECORD_SIZE));
        QCOMPARE(std::count(bytes + VL_SETTINGS_RECORD_SIZE, bytes + VL_SETTINGS_SIZE, 0x6b),
            long(VL_SETTINGS_SIZE - VL_SETTINGS_RECORD_SIZE));
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
        QVERIFY(configModule);
        QCOMPARE(configModule->loaded, loaded ? 1 : 0);
        QCOMPARE(mpaConfigGetAPIExt != nullptr, expected);
        if (!expected) {
            // The record keeps why it failed.
            QVERIFY(configModule->lastError != 0);
            QVERIFY(configModule->errorText[0] != '\0');
        }
    }

    void configModuleReloadReleasesTheFirst()
    {
        QVERIFY(provide({ "standard/vl_config_mpa.so" }));
        QVERIFY(loadConfigModule());
        QVERIFY(loadConfigModule());
        QCOMPARE(callLog(), (QStringList { "vl_config_mpa attach", "vl_config_mpa detach", "vl_config_mpa attach" }));
        unloadConfigModule();
        QVERIFY(!ModuleEntryPoints::configModule);
        QVERIFY(!ModuleEntryPoints::mpaConfigGetAPIExt);
        QCOMPARE(callLog().last(), QStringLiteral("vl_config_mpa detach"));
    }
};

QTEST_GUILESS_MAIN(TestModuleLoading)
#include "tst_moduleloading.moc"
