// Showing a state item in a list or check box, and the one-item state a
// control's change leaves as.
#include "rows.h"
#include "widgets/controlstate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSignalSpy>
#include <QtTest>

namespace {
// name, a list of "Layer 1" and "Layer 2" (else a check box), the item's
// value and flag, what the control shows: the current entry, or checked
const std::tuple<const char*, bool, QVariant, bool, int> rows[] = {
    { "list, exact text", true, "Layer 2", true, 1 },
    { "list, disabled", true, "Layer 1", false, 0 },
    { "list, other case", true, "layer 2", true, -1 },
    { "list, prefix only", true, "Layer", true, -1 },
    { "list, number as text", true, 2, true, -1 },
    { "list, missing item", true, QVariant(), true, -1 },
    { "box, 1", false, 1, false, 1 },
    { "box, any non-zero", false, -7, true, 1 },
    { "box, 0", false, 0, false, 0 },
    { "box, missing item", false, QVariant(), true, 0 },
};
} // namespace

class TestControlState : public QObject
{
    Q_OBJECT

private slots:
    void showItem_data() { addRows(rows); }

    // Showing never reports a change; a blocked control is unblocked
    // afterwards, not restored.
    void showItem()
    {
        const auto& [name, isList, value, enabled, shown] = currentRow(rows);
        QComboBox list;
        list.addItems({ "Layer 1", "Layer 2" });
        list.setCurrentIndex(shown == 0 ? 1 : 0);
        QCheckBox box;
        box.setChecked(!shown);
        QWidget* const control = isList ? static_cast<QWidget*>(&list) : &box;
        control->blockSignals(true);
        QSignalSpy changes(control, isList ? SIGNAL(currentIndexChanged(int)) : SIGNAL(toggled(bool)));
        if (isList)
            ControlState::showItem(&list, ConfigItem(value, enabled));
        else
            ControlState::showItem(&box, ConfigItem(value, enabled));
        QCOMPARE(isList ? list.currentIndex() : int(box.isChecked()), shown);
        QCOMPARE(control->isEnabled(), enabled);
        QVERIFY(!control->signalsBlocked());
        QCOMPARE(changes.count(), 0);
    }

    // An unregistered control, or a call without a sender, reports under the
    // empty name.
    void itemState()
    {
        QObject registered;
        QObject stranger;
        const QMap<QObject*, QString> names { { &registered, QStringLiteral("Mode") } };
        const ConfigState state = ControlState::itemState(names, &registered, QStringLiteral("Mono"));
        QCOMPARE(state.keys(), QStringList { "Mode" });
        QCOMPARE(state.value("Mode").value, QVariant(QStringLiteral("Mono")));
        QVERIFY(state.value("Mode").enabled);
        for (QObject* control : { &stranger, static_cast<QObject*>(nullptr) })
            QCOMPARE(ControlState::itemState(names, control, true).keys(), QStringList { QString() });
    }
};

QTEST_MAIN(TestControlState)
#include "tst_controlstate.moc"
