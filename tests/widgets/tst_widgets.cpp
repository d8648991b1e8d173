// Messages to the info window, items shown in controls, QWinWidget on a fake.
#include "platform/nativewindows.h"
#include "rows.h"
#include "widgets/controlstate.h"
#include "widgets/errornotifier.h"
#include "widgets/logable.h"
#include "widgets/qwinwidget.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTextBlock>
#include <QTextEdit>
#include <QtTest>
#include <cstring>

namespace {

const QString blue = QStringLiteral(" #0000b4");

// name, reports (level letter, text; 'x': unknown level), "text #colour". Bytes are
// UTF-8 where well-formed, else Latin-1, cut at 542 bytes, never inside a character.
const std::tuple<const char*, QByteArrayList, QStringList> flushRows[] = {
    { "errors, warnings, infos", { "ii", "ww", "ee1", "ii2", "ee2", "shidden", "xbeyond" },
        { "e1 #b40000", "e2 #b40000", "w #0000b4", "i #141414", "i2 #141414" } },
    { "blanks trimmed, inner line break kept", { "e   padded\n\n", "i\tone\ntwo  \n" },
        { "padded #b40000", "one #141414", "two #141414" } },
    { "UTF-8, three and four bytes", { "w\xE3\x83\xA2\xE3\x83\x8E \xF0\x9F\x8E\xB5" },
        { QString::fromUtf8("モノ 🎵") + blue } },
    { "Latin-1 beside UTF-8", { "w\xE4 / \xC3\xA4" }, { QString::fromUtf8("ä / ä") + blue } },
    // An overlong form, a surrogate, a code point above U+10FFFF.
    { "ill-formed", { "w\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80" },
        { QString::fromLatin1("\xC0\xAF\xED\xA0\x80\xF4\x90\x80\x80") + blue } },
    { "sequence broken off", { "w\xE3\x83 x" }, { QString::fromLatin1("\xE3\x83 x") + blue } },
    { "542 bytes", { 'w' + QByteArray(542, 'x') }, { QString(542, 'x') + blue } },
    { "cut at 542 bytes", { 'w' + QByteArray(10240, 'x') }, { QString(542, 'x') + blue } },
    // 200 three-byte characters: the 542nd byte lies inside the 181st.
    { "cut inside a character", { 'w' + QByteArray("\xE3\x81\x82").repeated(200) },
        { QString(180, QChar(0x3042)) + blue } },
};

// name, item value and flag, entry of "Layer 1", "Layer 2" shown, box checked
const std::tuple<const char*, QVariant, bool, int, bool> itemRows[] = {
    { "exact text", "Layer 2", true, 1, true },
    { "disabled", "Layer 1", false, 0, true },
    { "other case", "layer 2", true, -1, true },
    { "prefix only", "Layer", true, -1, true },
    { "zero", 0, false, -1, false },
};

QStringList nativeLog;

// Logs operations as "operation window"; a "focus-in" event is a focus-in.
struct FakeNativeWindows : NativeWindows
{
    void makeChildWindow(WId) override { }
    void reparent(WId, WId) override { }
    void setEnabled(WId window, bool enabled) override { record(enabled ? "enable" : "disable", window); }
    WId focusWindow() override { return focused; }
    void setFocus(WId window) override { record("focus", window); }
    void activate(WId window) override { record("activate", window); }
    void raise(WId window) override { record("raise", window); }
    bool windowRect(WId, Platform::WindowRect*) override { return false; }
    bool shiftHeld() override { return shift; }
    bool isFocusIn(const QByteArray& eventType, void*, WId) override { return eventType == "focus-in"; }
    void setOwner(QWindow*, WId host) override { record("owner", host); }
    void record(const char* operation, WId window) { nativeLog << QStringLiteral("%1 %2").arg(operation).arg(window); }

    WId focused = 81;
    bool shift = false;
};

struct WinWidget : QWinWidget
{
    using QWinWidget::nativeEvent;
    using QWinWidget::QWinWidget;
};

// name, type, modality, deleted on close, closed (else hidden) after it was
// shown, the operations while shown, "|", and after, the QWinWidget deleted
const std::tuple<const char*, Qt::WindowType, Qt::WindowModality, bool, bool, QStringList, bool> childRows[] = {
    { "modal", Qt::Dialog, Qt::WindowModal, false, false, { "owner 80", "disable 80", "|", "enable 80", "focus 81" },
        false },
    { "non-modal", Qt::Dialog, Qt::NonModal, false, false, { "owner 80", "|", "focus 81" }, false },
    { "closed, deleting on close", Qt::Dialog, Qt::ApplicationModal, true, true,
        { "owner 80", "disable 80", "|", "activate 80", "enable 80", "focus 81" }, true },
    // A widget that is no window saves no focus, and hiding it deletes nothing.
    { "child widget closed", Qt::Widget, Qt::NonModal, true, true, { "|", "activate 80", "focus 80" }, true },
    { "child widget hidden", Qt::Widget, Qt::NonModal, true, false, { "|", "focus 80" }, false },
};

// name, Tab, Shift+Tab or a native event (+shift: Shift held), the policy of
// three edits, the edit focused before and after (-1: none), host focused
const std::tuple<const char*, QByteArray, Qt::FocusPolicy, int, int, bool> focusRows[] = {
    { "Tab from the last", "tab", Qt::StrongFocus, 2, 2, true },
    { "Shift+Tab from the first", "backtab", Qt::StrongFocus, 0, 0, true },
    { "Tab from the first", "tab", Qt::StrongFocus, 0, 1, false },
    { "Shift+Tab from the last", "backtab", Qt::StrongFocus, 2, 1, false },
    { "focus-in", "focus-in", Qt::StrongFocus, -1, 0, false },
    { "focus-in with Shift", "focus-in+shift", Qt::StrongFocus, -1, 2, false },
    { "focus-in, no focusable widget", "focus-in", Qt::NoFocus, -1, -1, false },
    { "another native event", "other", Qt::StrongFocus, -1, -1, false },
};

} // namespace

class TestWidgets : public QObject
{
    Q_OBJECT

    FakeNativeWindows* windows = nullptr; // owned by the widget

    // A QWinWidget with `edits` line edits; the log starts after adoption.
    std::unique_ptr<WinWidget> makeWidget(int edits = 0, Qt::FocusPolicy policy = Qt::StrongFocus)
    {
        auto fake = std::make_unique<FakeNativeWindows>();
        windows = fake.get();
        auto widget = std::make_unique<WinWidget>(WId(80), std::move(fake));
        while (edits-- > 0)
            (new QLineEdit(widget.get()))->setFocusPolicy(policy);
        nativeLog.clear();
        return widget;
    }

private slots:
    // Each level keeps a colour of its own; a level beyond them has none.
    void messageColors()
    {
        Logable dialog;
        const QColor colors[] = { Qt::red, Qt::green, Qt::blue, Qt::cyan };
        for (int level = 0; level < 4; ++level)
            dialog.setMessageColor(static_cast<MessageLevel>(level), colors[level]);
        for (int level = 0; level < 4; ++level)
            QCOMPARE(dialog.messageColor(static_cast<MessageLevel>(level)), level < 3 ? colors[level] : QColor());
    }

    void flush_data() { addRows(flushRows); }

    // Errors, then warnings, then infos, each in its colour; without a widget they wait.
    void flush()
    {
        const auto& [name, reports, expected] = currentRow(flushRows);
        Logable dialog;
        QTextEdit edit(QStringLiteral("left over from an earlier check"));
        QObject::connect(ErrorNotifier::instance(), SIGNAL(logEvent(QString, MessageLevel)), &dialog,
            SLOT(slotOnLog(QString, MessageLevel)));
        const EncoderCallbacks& c = ErrorNotifier::instance()->callbacks;
        const QMap<char, decltype(c.infoPrintf)> print { { 'e', c.errorPrintf }, { 'w', c.warningPrintf },
            { 'i', c.infoPrintf }, { 's', c.silentPrintf } };
        for (const QByteArray& entry : reports) {
            if (const auto callback = print.value(entry[0]))
                callback(nullptr, "%s", entry.mid(1).constData());
            else
                dialog.slotOnLog(entry.mid(1), static_cast<MessageLevel>(3));
        }
        dialog.flushMessages();
        dialog.setLogWidget(&edit);
        dialog.flushMessages();
        QStringList lines;
        for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next())
            lines << block.text() + ' ' + block.begin().fragment().charFormat().foreground().color().name();
        QCOMPARE(lines, expected);
        dialog.flushMessages(); // the flush emptied the pending texts
        QCOMPARE(edit.toPlainText(), QString());
    }

    // A report ends at a NUL byte; a translate hook may replace the format or
    // decline; the level is a known meta-type; allocated blocks are usable.
    void callbacks()
    {
        const EncoderCallbacks& table = ErrorNotifier::instance()->callbacks;
        QSignalSpy spy(ErrorNotifier::instance(), SIGNAL(logEvent(QString, MessageLevel)));
        table.errorPrintf(nullptr, "shown%chidden", 0);
        ErrorNotifier::instance()->translateHook
            = [](const char* format) { return std::strcmp(format, "value %d") == 0 ? "replaced %d" : nullptr; };
        table.infoPrintf(nullptr, "value %d", 7);
        table.infoPrintf(nullptr, "other %d", 7);
        ErrorNotifier::instance()->translateHook = nullptr;
        QStringList texts;
        for (const QList<QVariant>& emission : spy)
            texts << emission.at(0).toString();
        QCOMPARE(texts, QStringList({ "shown\n", "replaced 7\n", "other 7\n" }));
        QCOMPARE(spy.at(0).at(1).value<MessageLevel>(), Error);
        void* const block = table.alloc(nullptr, 4096);
        QVERIFY(block);
        table.free(nullptr, std::memset(block, 0x5a, 4096)); // ASan catches a short block
    }

    void showItem_data() { addRows(itemRows); }

    // Showing never reports a change; a blocked control ends unblocked.
    void showItem()
    {
        const auto& [name, value, enabled, entry, checked] = currentRow(itemRows);
        QComboBox list;
        list.addItems({ "Layer 1", "Layer 2" });
        list.setCurrentIndex(entry == 0 ? 1 : 0);
        QSignalSpy changes(&list, SIGNAL(currentIndexChanged(int)));
        QCheckBox box;
        box.setChecked(!checked);
        box.blockSignals(true);
        ControlState::showItem(&list, ConfigItem(value, enabled));
        ControlState::showItem(&box, ConfigItem(value, enabled));
        QCOMPARE(list.currentIndex(), entry);
        QCOMPARE(box.isChecked(), checked);
        QVERIFY(list.isEnabled() == enabled && box.isEnabled() == enabled);
        QVERIFY(!list.signalsBlocked() && !box.signalsBlocked());
        QCOMPARE(changes.count(), 0);
    }

    void childWindow_data() { addRows(childRows); }

    // Shown again, a window gives the focus back to where it was at first.
    void childWindow()
    {
        const auto& [name, type, modality, deleteOnClose, closed, expected, deleted] = currentRow(childRows);
        QPointer<QWinWidget> widget = makeWidget().release();
        auto* const child = new QWidget(widget, type);
        child->setWindowModality(modality);
        child->setAttribute(Qt::WA_DeleteOnClose, deleteOnClose);
        child->show();
        QVERIFY(widget->isHidden());
        nativeLog << QStringLiteral("|");
        closed ? void(child->close()) : child->hide();
        QCOMPARE(nativeLog, expected);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(widget.isNull(), deleted);
        if (!deleted) {
            windows->focused = 99;
            child->show();
            child->hide();
            QCOMPARE(nativeLog.last(), expected.last());
        }
        delete widget;
    }

    void focus_data() { addRows(focusRows); }

    // Tab past either end focuses the host; a native focus-in the first
    // focusable widget, with Shift held the last.

    void focus()
    {
        const auto& [name, action, policy, before, after, toHost] = currentRow(focusRows);
        const auto widget = makeWidget(3, policy);
        const QList<QLineEdit*> edits = widget->findChildren<QLineEdit*>();
        if (before >= 0) {
            edits[before]->setFocus();
            QTest::keyClick(edits[before], Qt::Key_Tab, action == "backtab" ? Qt::ShiftModifier : Qt::NoModifier);
        } else {
            windows->shift = action.endsWith("+shift");
            WinWidget::NativeEventResult result = 0;
            QVERIFY(!widget->nativeEvent(action.split('+').constFirst(), nullptr, &result));
        }
        QCOMPARE(nativeLog, toHost ? QStringList { "focus 80" } : QStringList());
        QCOMPARE(widget->focusWidget(), after < 0 ? nullptr : edits[after]);
    }
};

QTEST_MAIN(TestWidgets)
#include "tst_widgets.moc"
