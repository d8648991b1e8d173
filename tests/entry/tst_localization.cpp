// Translation lookup in the library paths, then beside the library (here the
// test program, which links the loader code), and the localisation module
// found beside the translation.

#include "entry/moduleentrypoints.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// The header of a compiled translation file without any message: enough
// for the toolkit to accept it as a translation.
const QByteArray emptyTranslation
    = QByteArray::fromHex("3cb86418caef9c95cd211cbf60a1bddd") + QByteArray::fromHex("88000000020101");

QStringList callLog(const QString& directory)
{
    QFile file(directory + QStringLiteral("/vl_testmodules.log"));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)
                                          : QStringList();
}
} // namespace

class TestLocalization : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { savedPaths = QCoreApplication::libraryPaths(); }

    void cleanup()
    {
        releaseLocalization();
        QCoreApplication::setLibraryPaths(savedPaths);
    }

    void lookup_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<QString>("translationIn"); // "first", "second", "beside" or empty
        QTest::addColumn<QString>("translationFile");
        QTest::addColumn<QString>("expectedDirectory"); // empty: no localisation module
        QTest::addColumn<QStringList>("expectedLog");

        QTest::newRow("German in the first path") << QByteArray("de_DE.UTF-8") << "first"
                                                  << "gui_mpa_de.qm"
                                                  << "first" << QStringList { "gui_mpa_localize setLanguage 7" };
        QTest::newRow("German in the second path only") << QByteArray("de_AT") << "second"
                                                        << "gui_mpa_de.qm"
                                                        << "second" << QStringList { "gui_mpa_localize setLanguage 7" };
        QTest::newRow("German beside the library only") << QByteArray("de_CH") << "beside"
                                                        << "gui_mpa_de.qm"
                                                        << "beside" << QStringList { "gui_mpa_localize setLanguage 7" };
        QTest::newRow("Japanese uses the jp file") << QByteArray("ja_JP.UTF-8") << "second"
                                                   << "gui_mpa_jp.qm"
                                                   << "second" << QStringList { "gui_mpa_localize setLanguage 17" };
        QTest::newRow("Japanese ignores an ISO-named file") << QByteArray("ja_JP") << "first"
                                                            << "gui_mpa_ja.qm" << QString() << QStringList();
        QTest::newRow("English looks nothing up") << QByteArray("en_US") << "first"
                                                  << "gui_mpa_en.qm" << QString() << QStringList();
        QTest::newRow("German without a translation")
            << QByteArray("de_DE") << QString() << QString() << QString() << QStringList();
    }

    void lookup()
    {
        QFETCH(QByteArray, locale);
        QFETCH(QString, translationIn);
        QFETCH(QString, translationFile);
        QFETCH(QString, expectedDirectory);
        QFETCH(QStringList, expectedLog);

        QTemporaryDir first;
        QTemporaryDir second;
        QVERIFY(first.isValid() && second.isValid());
        const QString beside = QCoreApplication::applicationDirPath();
        const auto directoryOf = [&](const QString& which) {
            return which == "first" ? first.path() : which == "second" ? second.path() : beside;
        };
        const QString source = QStringLiteral(VL_TESTMODULES_DIR "/standard/gui_mpa_localize.so");
        for (const QString& dir : { first.path(), second.path(), beside }) {
            QFile::remove(dir + QStringLiteral("/gui_mpa_localize.so"));
            QVERIFY(QFile::copy(source, dir + QStringLiteral("/gui_mpa_localize.so")));
            QFile::remove(dir + QStringLiteral("/vl_testmodules.log"));
        }
        const QString translationPath = directoryOf(translationIn) + QLatin1Char('/') + translationFile;
        const auto removeTranslation = qScopeGuard([&] { QFile::remove(translationPath); });
        if (!translationIn.isEmpty()) {
            QFile file(translationPath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(emptyTranslation);
        }
        qputenv("LC_ALL", locale);
        QCoreApplication::setLibraryPaths({ first.path(), second.path() });

        loadLocalization(nullptr);

        using namespace ModuleEntryPoints;
        if (expectedDirectory.isEmpty()) {
            QVERIFY(!localizeLibrary);
            QVERIFY(!localizeSetLanguage);
        } else {
            const QString directory = directoryOf(expectedDirectory);
            QVERIFY(localizeLibrary);
            QCOMPARE(localizeLibrary->fileName(), directory + QStringLiteral("/gui_mpa_localize.so"));
            QVERIFY(localizeSetLanguage);
            QVERIFY(localizeConvertStr);
        }
        QCOMPARE(callLog(first.path()) + callLog(second.path()) + callLog(beside), expectedLog);

        releaseLocalization();
        QVERIFY(!localizeLibrary && !localizeSetLanguage && !localizeConvertStr);
    }

private:
    QStringList savedPaths;
};

QTEST_GUILESS_MAIN(TestLocalization)
#include "tst_localization.moc"
