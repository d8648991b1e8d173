#include "platform/dynamicmodule.h"

#include <QtTest>
#include <cerrno>
#include <dlfcn.h>

namespace {
QString text(const std::array<char, DynamicModule::ErrorTextCapacity>& buffer)
{
    return QString::fromLocal8Bit(buffer.data());
}

QString name(const std::array<DynamicModule::FileNameChar, DynamicModule::FileNameCapacity>& buffer)
{
    return QString::fromLocal8Bit(buffer.data());
}

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
        QTest::newRow("missing file by path")
            << QByteArray(VL_TESTMODULES_DIR "/standard/absent") << QByteArray("so") << QStringLiteral("absent.so");
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
        QCOMPARE(module.loaded, 0);
        QVERIFY(!module.handle);
        QVERIFY2(name(module.fileName).isEmpty(), "a failed load leaves no file name");
        if (mentioned.isEmpty()) {
            QCOMPARE(module.lastError, uint32_t(ENAMETOOLONG));
        } else {
            QVERIFY(module.lastError != 0);
            QVERIFY2(text(module.errorText).contains(mentioned), qPrintable(text(module.errorText)));
        }
    }

    void loadResolveUnload()
    {
        DynamicModule module;
        QCOMPARE(module.load(importModule.constData()), 1);
        QCOMPARE(module.loaded, 1);
        QVERIFY(module.handle);
        QCOMPARE(name(module.fileName), QString::fromLocal8Bit(importModule + ".so"));
        QVERIFY(module.resolve("mpegInInfoInit"));
        QVERIFY(module.resolve("mpegInGetInfo"));
        QCOMPARE(module.lastError, 0u);

        QCOMPARE(module.unload(), 1);
        QCOMPARE(module.loaded, 0);
        QVERIFY(!module.handle);
        // Unloading twice is harmless.
        QCOMPARE(module.unload(), 1);
    }

    void resolveFailure_data()
    {
        QTest::addColumn<bool>("load");
        QTest::addColumn<QByteArray>("symbol");
        QTest::newRow("unknown symbol") << true << QByteArray("mpegOutAudioChkSettings");
        // The loader's text repeats the name: it must be cut to the buffer.
        QTest::newRow("text longer than the buffer") << true << QByteArray(3000, 'q');
        // Must not fall back to a search of the whole process.
        QTest::newRow("nothing loaded") << false << QByteArray("malloc");
    }

    void resolveFailure()
    {
        QFETCH(bool, load);
        QFETCH(QByteArray, symbol);
        DynamicModule module;
        if (load)
            QCOMPARE(module.load(importModule.constData()), 1);
        QVERIFY(!module.resolve(symbol.constData()));
        QVERIFY(module.lastError != 0);
        QCOMPARE(module.errorText.back(), '\0');
        // A failed resolve leaves the module loaded.
        QCOMPARE(module.loaded, int(load));
        if (load)
            QVERIFY(text(module.errorText).contains(QString::fromLatin1(symbol.left(100))));
    }

    void resetAndClearForget()
    {
        DynamicModule module;
        module.load("vl_no_such_module");
        QVERIFY(module.lastError != 0);
        QCOMPARE(module.reset(), 1);
        QCOMPARE(module.lastError, 0u);
        QCOMPARE(module.errorText[0], '\0');

        QCOMPARE(module.load(importModule.constData()), 1);
        void* const handle = module.handle;
        module.clear();
        QVERIFY(!module.handle);
        QCOMPARE(module.loaded, 0);
        QVERIFY(name(module.fileName).isEmpty());
        // clear() forgets without releasing; the library is still there.
        QVERIFY(dlsym(handle, "mpegInInfoInit"));
        dlclose(handle);
    }
};

QTEST_APPLESS_MAIN(TestDynamicModule)
#include "tst_dynamicmodule.moc"
