#include "platform/dynamicmodule.h"
#include "rows.h"

#include <QtTest>
#include <cerrno>
#include <dlfcn.h>

namespace {
const QByteArray importModule = VL_TESTMODULES_DIR "/standard/vl_mfimport";

// name, module name, extension (null: the platform's), what the error text
// mentions (empty: the error is ENAMETOOLONG)
const std::tuple<const char*, QByteArray, const char*, QString> failures[] = {
    { "unknown name", "vl_no_such_module", nullptr, "vl_no_such_module.so" },
    { "wrong extension", importModule, "dll", "vl_mfimport.dll" },
    { "name too long", QByteArray(DynamicModule::FileNameCapacity - 3, 'm'), nullptr, QString() },
};
} // namespace

class TestDynamicModule : public QObject
{
    Q_OBJECT

private slots:
    void loadFailure_data() { addRows(failures); }

    // A failure keeps why it failed, until reset() forgets it.
    void loadFailure()
    {
        const auto& [name, moduleName, extension, mentioned] = currentRow(failures);
        DynamicModule module;
        QCOMPARE(module.load(moduleName.constData(), extension), 0);
        QVERIFY(!module.loaded && !module.handle && module.fileName[0] == 0);
        if (mentioned.isEmpty())
            QCOMPARE(module.lastError, uint32_t(ENAMETOOLONG));
        else
            QVERIFY(module.lastError != 0 && QString::fromLocal8Bit(module.errorText.data()).contains(mentioned));
        QCOMPARE(module.reset(), 1);
        QVERIFY(module.lastError == 0 && module.errorText[0] == 0);
    }

    void loadResolveUnload()
    {
        DynamicModule module;
        QCOMPARE(module.load(importModule.constData()), 1);
        QVERIFY(module.loaded == 1 && module.handle);
        QCOMPARE(QString::fromLocal8Bit(module.fileName.data()), QString::fromLocal8Bit(importModule + ".so"));
        QVERIFY(module.resolve("mpegInInfoInit"));
        QCOMPARE(module.lastError, 0u);
        // A failed resolve leaves the module loaded; the loader's text
        // repeats the name and is cut to the buffer.
        QVERIFY(!module.resolve(QByteArray(3000, 'q').constData()));
        QVERIFY(module.lastError != 0 && module.errorText.back() == '\0' && module.loaded == 1);
        // clear() forgets without releasing: the library is still there.
        void* const handle = module.handle;
        module.clear();
        QVERIFY(!module.handle && !module.loaded && module.fileName[0] == 0);
        QVERIFY(dlsym(handle, "mpegInInfoInit"));
        // Nothing loaded: no fallback to a search of the whole process.
        QVERIFY(!module.resolve("malloc") && module.lastError != 0);
        QCOMPARE(module.load(importModule.constData()), 1);
        dlclose(handle);
        QCOMPARE(module.unload(), 1);
        QVERIFY(!module.loaded && !module.handle);
        QCOMPARE(module.unload(), 1); // twice is harmless
    }
};

QTEST_APPLESS_MAIN(TestDynamicModule)
#include "tst_dynamicmodule.moc"
