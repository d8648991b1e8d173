// The platform layer (language ids from the locale, modules by file name) and
// where the dialog goes over its host.
#include "entry/dialogplacement.h"
#include "platform/dynamicmodule.h"
#include "platform/platform.h"
#include "rows.h"

#include <QtTest>
#include <cerrno>
#include <dlfcn.h>

namespace {
// name, locale name, Windows language identifier (0: none)
const std::tuple<const char*, QByteArray, int> localeRows[] = {
    { "German", "de_DE.UTF-8", 0x0407 },
    { "upper case", "DE_DE", 0x0407 },
    { "Japanese", "ja_JP.eucJP", 0x0411 },
    { "C locale", "C", 0x0409 },
    { "POSIX", "POSIX", 0x0409 },
    { "unknown language", "xx_YY", 0 },
    { "prefix of a code is no code", "d", 0 },
    { "longer word", "deutsch", 0 },
};

// name, LC_ALL, LC_MESSAGES, LANG (null: unset), the primary language
const std::tuple<const char*, QByteArray, QByteArray, QByteArray, int> environmentRows[] = {
    { "LC_ALL wins", "ja_JP", "de_DE", "en_US", 0x11 },
    { "LC_MESSAGES next", QByteArray(), "de_DE", "ja_JP", 0x07 },
    { "empty LC_ALL is skipped", "", QByteArray(), "de_CH", 0x07 },
    { "LANG last", QByteArray(), QByteArray(), "ja_JP.UTF-8", 0x11 },
};

const QRect fullHd(0, 0, 1920, 1080);
// name, host window (left, top, right, bottom), the dialog's size, the
// desktop, where the dialog goes
const std::tuple<const char*, std::array<int, 4>, QSize, QRect, QPoint> placementRows[] = {
    { "centred over the host", { 100, 100, 900, 700 }, { 501, 401 }, fullHd, { 250, 200 } },
    { "host at the right edge", { 1700, 100, 1910, 700 }, { 501, 401 }, fullHd, { 1419, 200 } },
    { "host at the bottom edge", { 100, 900, 900, 1080 }, { 501, 401 }, fullHd, { 250, 679 } },
    { "host past the left edge", { -400, 100, 200, 700 }, { 501, 401 }, fullHd, { 0, 200 } },
    { "host above the top", { 100, -500, 900, 100 }, { 501, 401 }, fullHd, { 250, 0 } },
    { "dialog larger than the desktop", { 100, 100, 900, 700 }, { 2000, 1200 }, fullHd, { -80, -120 } },
    // (-3 + 0) / 2 = -1 and 5 / 2 = 2 give -3; flooring would give -4.
    { "halves truncate toward zero", { -3, -3, 0, 0 }, { 5, 5 }, { -100, -100, 1920, 1080 }, { -3, -3 } },
    // The upper bound is the desktop's width less the dialog's.
    { "desktop not at the origin", { 2500, 100, 2700, 300 }, { 400, 100 }, { 1920, 0, 1280, 1024 }, { 880, 150 } },
};

const QByteArray importModule = VL_TESTMODULES_DIR "/standard/vl_mfimport";
// name, module name, extension (null: the platform's), what the error text
// names (empty: the error is ENAMETOOLONG)
const std::tuple<const char*, QByteArray, const char*, QString> loadFailures[] = {
    { "unknown name", "vl_no_such_module", nullptr, "vl_no_such_module.so" },
    { "wrong extension", importModule, "dll", "vl_mfimport.dll" },
    { "name too long", QByteArray(DynamicModule::FileNameCapacity - 3, 'm'), nullptr, QString() },
};
} // namespace

class TestPlatform : public QObject
{
    Q_OBJECT

private slots:
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
        const uint16_t id = Platform::userDefaultLanguageId();
        QCOMPARE(int(Platform::primaryLanguage(id)), expectedPrimary);
        QCOMPARE(int(id & 0xff), expectedPrimary);
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
        if (named.isEmpty())
            QCOMPARE(module.lastError, uint32_t(ENAMETOOLONG));
        else
            QVERIFY(module.lastError != 0 && QString::fromLocal8Bit(module.errorText.data()).contains(named));
        QCOMPARE(module.reset(), 1);
        QVERIFY(module.lastError == 0 && module.errorText[0] == 0);
    }

    void loadResolveUnload()
    {
        DynamicModule module;
        QCOMPARE(module.load(importModule.constData()), 1);
        QVERIFY(module.loaded == 1 && module.handle && module.resolve("mpegInInfoInit") && module.lastError == 0);
        QCOMPARE(QString::fromLocal8Bit(module.fileName.data()), QString::fromLocal8Bit(importModule + ".so"));
        // A failed resolve keeps the module; the loader's text is cut to the buffer.
        QVERIFY(!module.resolve(QByteArray(3000, 'q').constData()));
        QVERIFY(module.lastError != 0 && module.errorText.back() == '\0' && module.loaded == 1);
        // clear() forgets without releasing.
        void* const handle = module.handle;
        module.clear();
        QVERIFY(!module.handle && !module.loaded && module.fileName[0] == 0 && dlsym(handle, "mpegInInfoInit"));
        // Nothing loaded: no fallback to a search of the whole process.
        QVERIFY(!module.resolve("malloc") && module.lastError != 0);
        QCOMPARE(module.load(importModule.constData()), 1);
        dlclose(handle);
        QCOMPARE(module.unload(), 1);
        QVERIFY(!module.loaded && !module.handle);
        QCOMPARE(module.unload(), 1); // twice is harmless
    }
};

QTEST_APPLESS_MAIN(TestPlatform)
#include "tst_platform.moc"
