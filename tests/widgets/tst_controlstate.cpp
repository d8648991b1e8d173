// Showing a state item in a list or check box, and the one-item state a
// control's change leaves as.
#include "widgets/controlstate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalSpy>
#include <QtTest>

class TestControlState : public QObject
{
    Q_OBJECT

private slots:
    void showInList_data();
    void showInList();
    void showInCheckBox_data();
    void showInCheckBox();
    void itemState();
};

void TestControlState::showInList_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("current");
    QTest::newRow("exact text") << QVariant("Layer 2") << true << 1;
    QTest::newRow("disabled") << QVariant("Layer 1") << false << 0;
    QTest::newRow("other case") << QVariant("layer 2") << true << -1;
    QTest::newRow("prefix only") << QVariant("Layer") << true << -1;
    QTest::newRow("number as text") << QVariant(2) << true << -1;
    QTest::newRow("missing item") << QVariant() << true << -1;
}

void TestControlState::showInList()
{
    QFETCH(QVariant, value);
    QFETCH(bool, enabled);
    QFETCH(int, current);
    QComboBox list;
    list.addItems({ "Layer 1", "Layer 2" });
    list.setCurrentIndex(current == 0 ? 1 : 0);
    list.blockSignals(true); // a blocked list is unblocked afterwards, not restored
    QSignalSpy changes(&list, SIGNAL(currentIndexChanged(int)));

    ControlState::showItem(&list, ConfigItem(value, enabled));

    QCOMPARE(list.currentIndex(), current);
    QCOMPARE(list.isEnabled(), enabled);
    QVERIFY(!list.signalsBlocked());
    QCOMPARE(changes.count(), 0);
}

void TestControlState::showInCheckBox_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("checked");
    QTest::newRow("1") << QVariant(1) << true;
    QTest::newRow("any non-zero") << QVariant(-7) << true;
    QTest::newRow("0") << QVariant(0) << false;
    QTest::newRow("missing item") << QVariant() << false;
}

void TestControlState::showInCheckBox()
{
    QFETCH(QVariant, value);
    QFETCH(bool, checked);
    QCheckBox box;
    box.setChecked(!checked);
    QSignalSpy toggles(&box, SIGNAL(toggled(bool)));

    ControlState::showItem(&box, ConfigItem(value, false));

    QCOMPARE(box.isChecked(), checked);
    QVERIFY(!box.isEnabled());
    QVERIFY(!box.signalsBlocked());
    QCOMPARE(toggles.count(), 0);
}

void TestControlState::itemState()
{
    QObject registered;
    QObject stranger;
    const QMap<QObject*, QString> names { { &registered, QStringLiteral("Mode") } };

    const ConfigState state = ControlState::itemState(names, &registered, QStringLiteral("Mono"));
    QCOMPARE(state.keys(), QStringList { "Mode" });
    QCOMPARE(state.value("Mode").value, QVariant(QStringLiteral("Mono")));
    QVERIFY(state.value("Mode").enabled);

    // An unregistered control, or a call without a sender, reports under the empty name.
    for (QObject* control : { &stranger, static_cast<QObject*>(nullptr) })
        QCOMPARE(ControlState::itemState(names, control, true).keys(), QStringList { QString() });
}

QTEST_MAIN(TestControlState)
#include "tst_controlstate.moc"
