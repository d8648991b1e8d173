#include "platform/dynamicmodule.h"

#include <QtTest>
#include <cerrno>
#include <dlfcn.h>

namespace {
const QByteArray importModule = VL_TESTMODULES_DIR "/standard/vl_mfimport";
} // namespace

class TestDynamicModule : public QObject
{
    Q_OBJECT

private slots:
    void loadFailure_data()
    {
        QTest::addColumn<QByteArray>("moduleName");
        QTest::addColumn<QByteArray>("extension");
        QTest::addColumn<QString>("mentioned"); // empty: the error is ENAMETOOLONG
        QTest::newRow("unknown name") << QByteArray("vl_no_such_module") << QByteArray()
                                      << QStringLiteral("vl_no_such_module.so");
        QTest::newRow("wrong extension") << importModule << QByteArray("dll") << QStringLiteral("vl_mfimport.dll");
        QTest::newRow("name too long") << QByteArray(DynamicModule::FileNameCapacity - 3, 'm') << QByteArray()
                                       << QString();
    }

    void loadFailure()
    {
        QFETCH(QByteArray, moduleName);
        QFETCH(QByteArray, extension);
        QFETCH(QString, mentioned);
        DynamicModule module;
        QCOMPARE(module.load(moduleName.constData(), extension.isNull() ? nullptr : extension.constData()), 0);
        QVERIFY(!module.loaded && !module.handle && module.fileName[0] == 0);
        if (mentioned.isEmpty())
            QCOMPARE(module.lastError, uint32_t(ENAMETOOLONG));
        else
            QVERIFY(module.lastError != 0 && QString::fromLocal8Bit(module.errorText.data()).contains(mentioned));
        // reset() forgets the error.
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
        QCOMPARE(module.unload(), 1);
        QVERIFY(!module.loaded && !module.handle);
        QCOMPARE(module.unload(), 1); // twice is harmless
        // Nothing loaded: no fallback to a search of the whole process.
        QVERIFY(!module.resolve("malloc") && module.lastError != 0);
    }

    // clear() forgets without releasing: the library is still there.
    void clearForgets()
    {
        DynamicModule module;
        QCOMPARE(module.load(importModule.constData()), 1);
        void* const handle = module.handle;
        module.clear();
        QVERIFY(!module.handle && !module.loaded && module.fileName[0] == 0);
        QVERIFY(dlsym(handle, "mpegInInfoInit"));
        dlclose(handle);
    }
};

QTEST_APPLESS_MAIN(TestDynamicModule)
#include "tst_dynamicmodule.moc"
