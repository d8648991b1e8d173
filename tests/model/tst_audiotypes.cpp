#include "model/audiotypes.h"

#include <QSet>
#include <QTest>

// Audio types, their normalisation and the name <-> id mapping of the preset
// map.
class TestAudioTypes : public QObject
{
    Q_OBJECT

private slots:
    void normalize_data();
    void normalize();
    void everyOtherIdBecomesMpeg2();
    void secondNormalizationReachesPreset_data();
    void secondNormalizationReachesPreset();
    void sources();
    void presetOrder();
    void presetName_data();
    void presetName();
    void duplicateTranslationKeepsLastId();

private:
    static PresetMap untranslatedPresets();
};

namespace {

// The normalisation table: input id -> replacement.
const QList<QPair<int, int>> normalizationTable = {
    { 16, 14 },
    { 17, 15 },
    { 20, 23 },
    { 21, 23 },
    { 23, 23 },
    { 26, 27 },
    { 0x1000, 1 },
    { 0x1001, 3 },
    { 0x1010, 4 },
    { 0x1011, 13 },
    { 0x1012, 14 },
    { 0x1013, 15 },
    { 0x1014, 16 },
    { 0x1015, 17 },
    { 0x1020, 8 },
    { 0x1021, 9 },
    { 0x1022, 10 },
    { 0x1023, 11 },
    { 0x1024, 12 },
    { 0x1025, 24 },
    { 0x1030, 18 },
    { 0x1031, 19 },
    { 0x1040, 20 },
    { 0x1041, 21 },
    { 0x1042, 22 },
    { 0x1043, 23 },
    { 0x2000, 25 },
    { 0x2800, 44 },
    { 0x3000, 26 },
    { 0x3001, 27 },
};

QSet<int> presetIds()
{
    QSet<int> ids;
    for (const AudioTypeSource& source : audioTypeSources())
        ids.insert(source.id);
    return ids;
}

} // namespace

PresetMap TestAudioTypes::untranslatedPresets()
{
    PresetMap presets;
    for (const AudioTypeSource& source : audioTypeSources())
        presets.insert(QString::fromLatin1(source.name), source.id);
    return presets;
}

void TestAudioTypes::normalize_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("expected");
    for (const auto& entry : normalizationTable)
        QTest::addRow("0x%x", entry.first) << entry.first << entry.second;
    // A few that fall to the generic MPEG-2 type.
    QTest::newRow("5") << 5 << 2;
    QTest::newRow("22") << 22 << 2;
    QTest::newRow("28") << 28 << 2;
    QTest::newRow("43") << 43 << 2;
    QTest::newRow("-1") << -1 << 2;
    QTest::newRow("0x1002") << 0x1002 << 2;
    QTest::newRow("0x1044") << 0x1044 << 2;
    QTest::newRow("0x3002") << 0x3002 << 2;
    QTest::newRow("0x7fffffff") << 0x7fffffff << 2;
}

void TestAudioTypes::normalize()
{
    QFETCH(int, id);
    QFETCH(int, expected);
    QCOMPARE(normalizeAudioType(id), expected);
}

void TestAudioTypes::everyOtherIdBecomesMpeg2()
{
    QSet<int> listed;
    for (const auto& entry : normalizationTable)
        listed.insert(entry.first);
    int checked = 0;
    for (int id = -300; id <= 0x3100; ++id) {
        if (listed.contains(id))
            continue;
        if (normalizeAudioType(id) != 2)
            QFAIL(qPrintable(QStringLiteral("id %1 normalised to %2").arg(id).arg(normalizeAudioType(id))));
        ++checked;
    }
    QCOMPARE(checked, 0x3100 + 301 - normalizationTable.size());
}

void TestAudioTypes::secondNormalizationReachesPreset_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("expected");
    for (const auto& entry : normalizationTable)
        QTest::addRow("0x%x", entry.first) << entry.first << normalizeAudioType(normalizeAudioType(entry.first));
}

void TestAudioTypes::secondNormalizationReachesPreset()
{
    // Two passes always end on an id that a preset carries, which is why the
    // dialog resolves a chain such as 0x1014 -> 16 -> 14 before it opens.
    QFETCH(int, id);
    int result = normalizeAudioType(id);
    if (!presetIds().contains(result))
        result = normalizeAudioType(result);
    QVERIFY2(presetIds().contains(result), qPrintable(QString::number(result)));
}

void TestAudioTypes::sources()
{
    const auto& types = audioTypeSources();
    QCOMPARE(int(types.size()), 20);
    QCOMPARE(presetIds().size(), 20);
    QCOMPARE(QString::fromLatin1(types.front().name), QStringLiteral("AVC HD"));
    QCOMPARE(types.front().id, 44);
    QCOMPARE(QString::fromLatin1(types.back().name), QStringLiteral("MPEG-2 Blu-ray Disc"));
    QCOMPARE(types.back().id, 27);
    // Ids that no preset carries are exactly those the normalisation covers
    // or maps to MPEG-2.
    for (int id : { 5, 6, 7, 16, 17, 20, 21, 22, 26, 28, 43 })
        QVERIFY(!presetIds().contains(id));
}

void TestAudioTypes::presetOrder()
{
    // The map orders by QString comparison, which is the order of the preset
    // list: upper case before lower case, "-" before digits.
    const QStringList expected = {
        "AVC HD",
        "MPEG-1",
        "MPEG-1 DVD",
        "MPEG-1 DVD-VR",
        "MPEG-1 VideoCD",
        "MPEG-2",
        "MPEG-2 ATSC",
        "MPEG-2 ATSC high",
        "MPEG-2 Blu-ray Disc",
        "MPEG-2 CableLabs",
        "MPEG-2 D10",
        "MPEG-2 DVB",
        "MPEG-2 DVD",
        "MPEG-2 DVD-VR",
        "MPEG-2 DVHS",
        "MPEG-2 HD DVD",
        "MPEG-2 HDV HD1",
        "MPEG-2 HDV HD2",
        "MPEG-2 MICROMV",
        "MPEG-2 SuperVCD",
    };
    QCOMPARE(untranslatedPresets().keys(), expected);
}

void TestAudioTypes::presetName_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    QTest::newRow("DVD") << 4 << "MPEG-2 DVD";
    QTest::newRow("MPEG-1") << 0 << "MPEG-1";
    QTest::newRow("AVC HD") << 44 << "AVC HD";
    QTest::newRow("DVD-VR") << 14 << "MPEG-2 DVD-VR";
    QTest::newRow("Blu-ray") << 27 << "MPEG-2 Blu-ray Disc";
    QTest::newRow("no preset 16") << 16 << "";
    QTest::newRow("no preset -1") << -1 << "";
}

void TestAudioTypes::presetName()
{
    QFETCH(int, id);
    QFETCH(QString, name);
    QCOMPARE(::presetName(untranslatedPresets(), id), name);
    if (!name.isEmpty())
        QCOMPARE(untranslatedPresets().value(name), id);
}

void TestAudioTypes::duplicateTranslationKeepsLastId()
{
    // A translation that maps two source names to one text leaves one entry
    // with the id inserted last; two names with one id give the first in
    // map order.
    PresetMap presets;
    presets.insert(QStringLiteral("DVD"), 13);
    presets.insert(QStringLiteral("DVD"), 4);
    presets.insert(QStringLiteral("B"), 7);
    presets.insert(QStringLiteral("A"), 7);
    QCOMPARE(presets.size(), 3);
    QCOMPARE(::presetName(presets, 4), QStringLiteral("DVD"));
    QCOMPARE(::presetName(presets, 13), QString());
    QCOMPARE(::presetName(presets, 7), QStringLiteral("A"));
}

QTEST_GUILESS_MAIN(TestAudioTypes)
#include "tst_audiotypes.moc"
