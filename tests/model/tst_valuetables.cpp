#include "model/valuetables.h"

#include <QTest>

// The bitrate tables and display texts that every derivation and application
// relies on.
class TestValueTables : public QObject
{
    Q_OBJECT

private slots:
    void bitrateTables_data();
    void bitrateTables();
    void emptySlots_data();
    void emptySlots();
    void sameIndexDiffersByTable_data();
    void sameIndexDiffersByTable();
    void bitrateIndexOf_data();
    void bitrateIndexOf();
    void lowSamplingFrequency_data();
    void lowSamplingFrequency();
    void displayNames_data();
    void displayNames();
    void microSignSurvivesTranslation();
};

namespace {

QStringList tableStrings(const char* const* table)
{
    QStringList strings;
    for (int slot = 1; table[slot]; ++slot)
        strings.append(QString::fromLatin1(table[slot]));
    return strings;
}

QStringList numbers(std::initializer_list<int> values)
{
    QStringList strings;
    for (int value : values)
        strings.append(QString::number(value));
    return strings;
}

} // namespace

void TestValueTables::bitrateTables_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<bool>("layer1");
    QTest::addColumn<QStringList>("expected");

    const QStringList mpeg1Layer1 = numbers({ 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448 });
    const QStringList mpeg1Layer2 = numbers({ 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384 });
    const QStringList lsfLayer1 = numbers({ 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256 });
    const QStringList lsfLayer2 = numbers({ 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160 });

    QTest::newRow("48000 Layer I") << 48000 << true << mpeg1Layer1;
    QTest::newRow("44100 Layer II") << 44100 << false << mpeg1Layer2;
    QTest::newRow("32000 Layer II") << 32000 << false << mpeg1Layer2;
    QTest::newRow("unknown 11025 Layer I") << 11025 << true << mpeg1Layer1;
    QTest::newRow("zero Layer II") << 0 << false << mpeg1Layer2;
    QTest::newRow("negative Layer I") << -16000 << true << mpeg1Layer1;
    QTest::newRow("16000 Layer I") << 16000 << true << lsfLayer1;
    QTest::newRow("22050 Layer I") << 22050 << true << lsfLayer1;
    QTest::newRow("24000 Layer I") << 24000 << true << lsfLayer1;
    QTest::newRow("16000 Layer II") << 16000 << false << lsfLayer2;
    QTest::newRow("22050 Layer II") << 22050 << false << lsfLayer2;
    QTest::newRow("24000 Layer II") << 24000 << false << lsfLayer2;
}

void TestValueTables::bitrateTables()
{
    QFETCH(int, frequency);
    QFETCH(bool, layer1);
    QFETCH(QStringList, expected);

    const char* const* table = ValueTables::bitrateTable(frequency, layer1);
    QCOMPARE(tableStrings(table), expected);
    for (int slot = 1; slot <= 14; ++slot)
        QCOMPARE(ValueTables::bitrateText(table, slot), expected.at(slot - 1));
}

void TestValueTables::emptySlots_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("free format") << 0;
    QTest::newRow("forbidden") << 15;
    QTest::newRow("below the table") << -1;
    QTest::newRow("above the table") << 16;
    QTest::newRow("far above") << 1000000;
    QTest::newRow("most negative") << int(INT32_MIN);
}

void TestValueTables::emptySlots()
{
    QFETCH(int, index);
    for (int32_t frequency : { 48000, 22050 }) {
        for (bool layer1 : { true, false }) {
            const char* const* table = ValueTables::bitrateTable(frequency, layer1);
            const QString text = ValueTables::bitrateText(table, index);
            QVERIFY(text.isEmpty());
        }
    }
}

void TestValueTables::sameIndexDiffersByTable_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<bool>("layer1");
    QTest::addColumn<QString>("text");
    QTest::newRow("MPEG-1 Layer I") << 48000 << true << "448";
    QTest::newRow("MPEG-1 Layer II") << 48000 << false << "384";
    QTest::newRow("LSF Layer I") << 24000 << true << "256";
    QTest::newRow("LSF Layer II") << 24000 << false << "160";
}

void TestValueTables::sameIndexDiffersByTable()
{
    QFETCH(int, frequency);
    QFETCH(bool, layer1);
    QFETCH(QString, text);
    QCOMPARE(ValueTables::bitrateText(ValueTables::bitrateTable(frequency, layer1), 14), text);
}

void TestValueTables::bitrateIndexOf_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<bool>("layer1");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");
    QTest::newRow("first slot") << 48000 << false << "32" << 1;
    QTest::newRow("last slot") << 48000 << true << "448" << 14;
    QTest::newRow("LSF Layer II 8") << 22050 << false << "8" << 1;
    QTest::newRow("not in Layer II") << 48000 << false << "448" << 0;
    QTest::newRow("not in LSF Layer II") << 16000 << false << "384" << 0;
    QTest::newRow("empty text") << 48000 << false << "" << 0;
    QTest::newRow("with unit") << 48000 << false << "128 kbps" << 0;
    QTest::newRow("leading space") << 48000 << false << " 128" << 0;
}

void TestValueTables::bitrateIndexOf()
{
    QFETCH(int, frequency);
    QFETCH(bool, layer1);
    QFETCH(QString, text);
    QFETCH(int, index);
    QCOMPARE(ValueTables::bitrateIndexOf(ValueTables::bitrateTable(frequency, layer1), text), index);
}

void TestValueTables::lowSamplingFrequency_data()
{
    QTest::addColumn<int>("frequency");
    QTest::addColumn<bool>("low");
    QTest::newRow("16000") << 16000 << true;
    QTest::newRow("22050") << 22050 << true;
    QTest::newRow("24000") << 24000 << true;
    QTest::newRow("32000") << 32000 << false;
    QTest::newRow("44100") << 44100 << false;
    QTest::newRow("48000") << 48000 << false;
    QTest::newRow("22000") << 22000 << false;
    QTest::newRow("8000") << 8000 << false;
    QTest::newRow("0") << 0 << false;
}

void TestValueTables::lowSamplingFrequency()
{
    QFETCH(int, frequency);
    QFETCH(bool, low);
    QCOMPARE(ValueTables::isLowSamplingFrequency(frequency), low);
}

void TestValueTables::displayNames_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("layer") << ValueTables::layerNames() << QStringList { "Layer 1", "Layer 2" };
    QTest::newRow("mode") << ValueTables::modeNames()
                          << QStringList { "Stereo", "Joint Stereo", "Dual Channel", "Mono" };
    QTest::newRow("psych model") << ValueTables::psychModelNames() << QStringList { "Model 1", "Model 2" };
    QTest::newRow("emphasis") << ValueTables::emphasisNames()
                              << QStringList { "Off", QStringLiteral("50/15 \u00B5s"), "CCITT J.17" };
}

void TestValueTables::displayNames()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, expected);
    QCOMPARE(names, expected);
}

void TestValueTables::microSignSurvivesTranslation()
{
    // The Latin-1 micro sign must become U+00B5, not a replacement character.
    const QString text = ValueTables::translateLatin1("MPEGAudioPage", ValueTables::emphasisSources[1]);
    QCOMPARE(text.size(), 8);
    QCOMPARE(text.at(6), QChar(0x00B5));
    QCOMPARE(QString::fromLatin1(ValueTables::windowTitles[1]),
        QString::fromLatin1(ValueTables::windowTitles[0]) + QStringLiteral(" Settings"));
}

QTEST_GUILESS_MAIN(TestValueTables)
#include "tst_valuetables.moc"
