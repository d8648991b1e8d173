// Translation lookup along the library paths, then beside the loader code
// (this program), and the localisation module found beside the translation.
#include "entry/moduleentrypoints.h"
#include "rows.h"

#include <QCoreApplication>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

namespace {
// A compiled translation file's header without any message, which the
// toolkit accepts as a translation.
const QByteArray emptyTranslation = QByteArray::fromHex("3cb86418caef9c95cd211cbf60a1bddd88000000020101");

// name, locale, where a translation is ("first" or "second" library path,
// "beside" the library, or nowhere), its file name, where the localisation
// module is taken from (empty: nowhere), the language it is given
const std::tuple<const char*, QByteArray, QString, QString, QString, int> rows[] = {
    { "German in the first path", "de_DE.UTF-8", "first", "gui_mpa_de.qm", "first", 7 },
    { "German in the second path only", "de_AT", "second", "gui_mpa_de.qm", "second", 7 },
    { "German beside the library only", "de_CH", "beside", "gui_mpa_de.qm", "beside", 7 },
    { "Japanese uses the jp file", "ja_JP.UTF-8", "second", "gui_mpa_jp.qm", "second", 17 },
    { "Japanese ignores an ISO-named file", "ja_JP", "first", "gui_mpa_ja.qm", "", 0 },
    { "English looks nothing up", "en_US", "first", "gui_mpa_en.qm", "", 0 },
    { "German without a translation", "de_DE", "", "", "", 0 },
};
} // namespace

class TestLocalization : public QObject
{
    Q_OBJECT

private slots:
    void lookup_data() { addRows(rows); }

    // Every place holds a localisation module; each logs its calls beside it.
    void lookup()
    {
        const auto& [name, locale, translationIn, translationFile, moduleIn, language] = currentRow(rows);
        const QStringList savedPaths = QCoreApplication::libraryPaths();
        QTemporaryDir first;
        QTemporaryDir second;
        const QMap<QString, QString> places = { { "first", first.path() }, { "second", second.path() },
            { "beside", QCoreApplication::applicationDirPath() } };
        for (const QString& dir : places) {
            QFile::remove(dir + "/gui_mpa_localize.so");
            QFile::remove(dir + "/vl_testmodules.log");
            QVERIFY(QFile::copy(VL_TESTMODULES_DIR "/standard/gui_mpa_localize.so", dir + "/gui_mpa_localize.so"));
        }
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
        QCOMPARE(log,
            language ? QStringList { QStringLiteral("gui_mpa_localize setLanguage %1").arg(language) } : QStringList());
        releaseLocalization();
        QVERIFY(!localizeLibrary && !localizeSetLanguage && !localizeConvertStr);
    }
};

QTEST_GUILESS_MAIN(TestLocalization)
#include "tst_localization.moc"
