// The entry point's parts: encoder modules by name, the translation and
// localisation module lookup, the platform layer and the dialog's placement.
#include "entry/dialogplacement.h"
#include "entry/moduleentrypoints.h"
#include "platform/platform.h"
#include "rows.h"

#include <QtTest>
#include <cerrno>
#include <cstring>
#include <dlfcn.h>

namespace {
const QDir moduleDir(QStringLiteral(VL_MODULE_DIR));
const QString uses = QStringLiteral("MPEG-1/2 Audio Encoder Dialog uses %1.dll");
const QString local = QStringLiteral("MPEG-1/2 Audio Encoder Dialog uses local functionality.\n");
const QByteArray importStandIn = VL_TESTMODULES_DIR "/standard/vl_mfimport";
QStringList debugMessages;

// Fills the module directory with "<variant>/<file>" test modules.
bool provide(const QStringList& modules)
{
    for (const QString& file : moduleDir.entryList({ QStringLiteral("*.so"), QStringLiteral("*.log") }, QDir::Files))
        QFile::remove(moduleDir.filePath(file));
    return std::all_of(modules.begin(), modules.end(), [](const QString& module) {
        return QFile::copy(VL_TESTMODULES_DIR "/" + module, moduleDir.filePath(module.section('/', -1)));
    });
}

// A symbol of a module file of the module directory if that module is loaded.
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
const std::tuple<const char*, QStringList, QStringList, QString, bool> moduleRows[] = {
    { "encoder and import modules", { "standard/vl_enc_mpa.so", "standard/vl_mfimport.so" },
        { uses.arg("vl_enc_mpa"), uses.arg("vl_mfimport") }, "vl_enc_mpa.so", true },
    { "first name wins", { "standard/vl_enc_mpa.so", "standard/vl_mpgaout.so" }, { uses.arg("vl_enc_mpa") },
        "vl_enc_mpa.so", false },
    { "only the second name", { "standard/vl_mpgaout.so" }, { uses.arg("vl_mpgaout") }, "vl_mpgaout.so", false },
    { "no modules", {}, { local }, "", false },
    { "check entry point missing", { "nocheck/vl_enc_mpa.so" }, { uses.arg("vl_enc_mpa"), local }, "", false },
};

// A compiled translation file's header without any message.
const QByteArray emptyTranslation = QByteArray::fromHex("3cb86418caef9c95cd211cbf60a1bddd88000000020101");

// name, locale, where a translation is ("first" or "second" library path,
// "beside" this program, or nowhere), its file name, where the localisation
// module is taken from (empty: nowhere), the language it is given
const std::tuple<const char*, QByteArray, QString, QString, QString, int> localizationRows[] = {
    { "German in the first path", "de_DE.UTF-8", "first", "gui_mpa_de.qm", "first", 7 },
    { "German in the second path only", "de_AT", "second", "gui_mpa_de.qm", "second", 7 },
    { "German beside the program only", "de_CH", "beside", "gui_mpa_de.qm", "beside", 7 },
    { "Japanese uses the jp file", "ja_JP.UTF-8", "second", "gui_mpa_jp.qm", "second", 17 },
    { "Japanese ignores an ISO-named file", "ja_JP", "first", "gui_mpa_ja.qm", "", 0 },
    { "English looks nothing up", "en_US", "first", "gui_mpa_en.qm", "", 0 },
    { "German without a translation", "de_DE", "", "", "", 0 },
};

// name, locale name, Windows language identifier (0: none)
const std::tuple<const char*, QByteArray, int> localeRows[] = {
    { "German", "de_DE.UTF-8", 0x0407 },
    { "upper case", "DE_DE", 0x0407 },
    { "Japanese", "ja_JP.eucJP", 0x0411 },
    { "C locale", "C", 0x0409 },
    { "POSIX", "POSIX", 0x0409 },
    { "prefix of a code is no code", "d", 0 },
};

// name, LC_ALL, LC_MESSAGES, LANG (null: unset), the primary language
const std::tuple<const char*, QByteArray, QByteArray, QByteArray, int> environmentRows[] = {
    { "LC_ALL wins", "ja_JP", "de_DE", "en_US", 0x11 },
    { "LC_MESSAGES next", QByteArray(), "de_DE", "ja_JP", 0x07 },
    { "empty LC_ALL is skipped, LANG last", "", QByteArray(), "de_CH", 0x07 },
};

const QRect fullHd(0, 0, 1920, 1080);
// name, host window (left, top, right, bottom), the dialog's size, the
// desktop, where the dialog goes
const std::tuple<const char*, std::array<int, 4>, QSize, QRect, QPoint> placementRows[] = {
    { "centred over the host", { 100, 100, 900, 700 }, { 501, 401 }, fullHd, { 250, 200 } },
    { "host past the left and bottom edges", { -400, 900, 200, 1080 }, { 501, 401 }, fullHd, { 0, 679 } },
    { "host past the right edge and the top", { 1700, -500, 1910, 100 }, { 501, 401 }, fullHd, { 1419, 0 } },
    { "dialog larger than the desktop", { 100, 100, 900, 700 }, { 2000, 1200 }, fullHd, { -80, -120 } },
    // (-3 + 0) / 2 = -1 and 5 / 2 = 2 give -3; flooring would give -4.
    { "halves truncate toward zero", { -3, -3, 0, 0 }, { 5, 5 }, { -100, -100, 1920, 1080 }, { -3, -3 } },
    // The upper bound is the desktop's width less the dialog's.
    { "desktop not at the origin", { 2500, 100, 2700, 300 }, { 400, 100 }, { 1920, 0, 1280, 1024 }, { 880, 150 } },
};

// name, module name, extension (null: the platform's), what the error text
// names (empty: the error is ENAMETOOLONG)
const std::tuple<const char*, QByteArray, const char*, QString> loadFailures[] = {
    { "unknown name", "vl_no_such_module", nullptr, "vl_no_such_module.so" },
    { "wrong extension", importStandIn, "dll", "vl_mfimport.dll" },
    { "name too long", QByteArray(DynamicModule::FileNameCapacity - 3, 'm'), nullptr, QString() },
};
} // namespace

class TestEntry : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { unloadEncoderModules(); }

    void encoderModules_data() { addRows(moduleRows); }

    // Each row loads over an earlier load, which must be forgotten; unloading
    // releases every module and forgets every entry point.
    void encoderModules()
    {
        const auto& [name, modules, expectedDebug, encoderFile, importLoaded] = currentRow(moduleRows);
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
        if (fallback) { // the built-in defaults zero the record half only
            EncoderSettings settings;
            std::memset(&settings, 0x6b, sizeof settings);
            EncoderSettings expected = settings;
            std::memset(&expected, 0, VL_SETTINGS_RECORD_SIZE);
            QVERIFY(mpegOutAudioDefaults(&settings, VL_AUDIO_MPEG2_DVD) == 0
                && !std::memcmp(&settings, &expected, sizeof settings));
            QCOMPARE(mpegOutAudioChkSettings(nullptr, &settings, 0, 48000, 0, nullptr), 0);
        }
        QCOMPARE(importModule->loaded, int(importLoaded));
        QCOMPARE(mpegInInfoInit && mpegInGetInfo, importLoaded);
        unloadEncoderModules();
        QVERIFY(!encoderModule && !importModule);
        QVERIFY(!mpegOutAudioDefaults && !mpegOutAudioChkSettings && !mpegInInfoInit && !mpegInGetInfo);
        for (const char* file : { "vl_enc_mpa.so", "vl_mpgaout.so", "vl_mfimport.so" })
            QVERIFY(!symbolOf(file, "mpegInInfoInit") && !symbolOf(file, "mpegOutAudioDefaults"));
    }

    void localization_data() { addRows(localizationRows); }

    // Every place holds a localisation module; each logs its calls beside it.
    void localization()
    {
        const auto& [name, locale, translationIn, translationFile, moduleIn, language] = currentRow(localizationRows);
        const QStringList savedPaths = QCoreApplication::libraryPaths();
        QTemporaryDir first, second;
        const QMap<QString, QString> places
            = { { "first", first.path() }, { "second", second.path() }, { "beside", moduleDir.path() } };
        QVERIFY(provide({}));
        for (const QString& dir : places)
            QVERIFY(QFile::copy(VL_TESTMODULES_DIR "/standard/gui_mpa_localize.so", dir + "/gui_mpa_localize.so"));
        QFile translation(places.value(translationIn) + '/' + translationFile);
        const auto cleanup = qScopeGuard([&] {
            releaseLocalization();
            QCoreApplication::setLibraryPaths(savedPaths);
            translation.remove();
        });
        QVERIFY(
            translationIn.isEmpty() || (translation.open(QIODevice::WriteOnly) && translation.write(emptyTranslation)));
        translation.close();
        qputenv("LC_ALL", locale);
        QCoreApplication::setLibraryPaths({ first.path(), second.path() });

        loadLocalization(nullptr);
        using namespace ModuleEntryPoints;
        const QString module = moduleIn.isEmpty() ? QString() : places.value(moduleIn) + "/gui_mpa_localize.so";
        QCOMPARE(localizeLibrary ? localizeLibrary->fileName() : QString(), module);
        QCOMPARE(!localizeSetLanguage, module.isEmpty());
        QCOMPARE(!localizeConvertStr, module.isEmpty());
        QStringList log;
        for (const QString& dir : places) {
            QFile file(dir + "/vl_testmodules.log");
            if (file.open(QIODevice::ReadOnly))
                log += QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
        }
        QCOMPARE(
            log, language ? QStringList { QString("gui_mpa_localize setLanguage %1").arg(language) } : QStringList());
        releaseLocalization();
        QVERIFY(!localizeLibrary && !localizeSetLanguage && !localizeConvertStr);
    }

    void languageFromLocaleName_data() { addRows(localeRows); }

    void languageFromLocaleName()
    {
        const auto& [name, locale, expected] = currentRow(localeRows);
        QCOMPARE(int(Platform::languageIdFromLocaleName(locale.constData())), expected);
        QCOMPARE(int(Platform::languageIdFromLocaleName(nullptr)), 0);
    }

    void environmentOrder_data() { addRows(environmentRows); }

    void environmentOrder()
    {
        const auto& [name, lcAll, lcMessages, lang, expectedPrimary] = currentRow(environmentRows);
        for (const auto& [variable, value] :
            { std::pair("LC_ALL", lcAll), { "LC_MESSAGES", lcMessages }, { "LANG", lang } })
            value.isNull() ? qunsetenv(variable) : qputenv(variable, value);
        QCOMPARE(int(Platform::userDefaultLanguageId()), expectedPrimary | 0x400);
    }

    void centredPosition_data() { addRows(placementRows); }

    void centredPosition()
    {
        const auto& [name, host, dialog, desktop, expected] = currentRow(placementRows);
        QCOMPARE(::centredPosition({ host[0], host[1], host[2], host[3] }, dialog, desktop), expected);
    }

    void loadFailure_data() { addRows(loadFailures); }

    // A failure keeps why it failed, until reset() forgets it.
    void loadFailure()
    {
        const auto& [name, moduleName, extension, named] = currentRow(loadFailures);
        DynamicModule module;
        QCOMPARE(module.load(moduleName.constData(), extension), 0);
        QVERIFY(!module.loaded && !module.handle && module.fileName[0] == 0);
        QVERIFY(named.isEmpty() ? module.lastError == ENAMETOOLONG
                                : module.lastError && QString::fromLocal8Bit(module.errorText.data()).contains(named));
        QCOMPARE(module.reset(), 1);
        QVERIFY(module.lastError == 0 && module.errorText[0] == 0);
    }

    void loadResolveUnload()
    {
        DynamicModule module;
        QCOMPARE(module.load(importStandIn.constData()), 1);
        QVERIFY(module.loaded == 1 && module.handle && module.resolve("mpegInInfoInit") && module.lastError == 0);
        QCOMPARE(QString::fromLocal8Bit(module.fileName.data()), QString::fromLocal8Bit(importStandIn + ".so"));
        // A failed resolve keeps the module; the loader's text is cut to the buffer.
        QVERIFY(!module.resolve(QByteArray(3000, 'q').constData()));
        QVERIFY(module.lastError != 0 && module.errorText.back() == '\0' && module.loaded == 1);
        void* const handle = module.handle;
        module.clear(); // forgets without releasing
        QVERIFY(!module.handle && !module.loaded && module.fileName[0] == 0 && dlsym(handle, "mpegInInfoInit"));
        QVERIFY(!module.resolve("malloc") && module.lastError != 0); // not the whole process
        QCOMPARE(module.load(importStandIn.constData()), 1);
        dlclose(handle);
        QCOMPARE(module.unload(), 1);
        QVERIFY(!module.loaded && !module.handle);
        QCOMPARE(module.unload(), 1); // twice is harmless
    }
};

QTEST_GUILESS_MAIN(TestEntry)
#include "tst_entry.moc"
