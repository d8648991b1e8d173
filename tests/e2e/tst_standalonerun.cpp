// Calls the library copy in this process while no application object exists,
// as a plain host does: the library makes its own QApplication for each call.
#include "rows.h"
#include "testsandbox.h"

#include <QtTest>

namespace {
// name, the closing step, parent window handle (one no window system knows),
// whether a DialogParams record is passed, its title, the result
const std::tuple<const char*, QString, intptr_t, bool, const char*, int32_t> runRows[] = {
    { "escape", "escape", 0, false, nullptr, VL_DIALOG_REJECTED },
    { "ok with a host window handle", "ok", 0x4a0012, false, nullptr, VL_DIALOG_ACCEPTED },
    { "record without title", "cancel", 0, true, nullptr, VL_DIALOG_REJECTED },
    { "record with title", "ok", 0, true, "Authoring Suite", VL_DIALOG_ACCEPTED },
};
} // namespace

class TestStandaloneRun : public SandboxTest
{
    Q_OBJECT

private slots:
    void run_data() { addRows(runRows); }

    // The rows are calls in a row, each with an application, a driver and
    // modules of its own. OK writes the restored defaults (Layer I) back.
    void run()
    {
        const auto& [name, steps, parent, record, title, result] = currentRow(runRows);
        DialogParams params { 0xdeadbeef, 0, 0, title, nullptr, {} };
        const uint32_t flags = record ? VL_FLAG_PARAMS_RECORD | 0x71 : 0x71;
        const QString script = QStringLiteral("click:presetButton;expect:active=1;expect:title=")
            + (title ? title : "Veltrano MPEG-1/2 Audio Encoder Settings") + ';' + steps;
        EncoderSettings settings = hostBlock();
        QStringList log;
        QCOMPARE(sandbox->call(&settings, flags, record ? intptr_t(&params) : parent, script, &log), result);
        QCOMPARE(log, script.split(';'));
        QCOMPARE(settings.layer, result == VL_DIALOG_ACCEPTED ? 1 : 2);
        QCOMPARE(params.flags, record ? flags : 0xdeadbeefu);
        QCOMPARE(sandbox->callLog().filter(QStringLiteral(" detach")).size(), 3);
    }
};

QTEST_APPLESS_MAIN(TestStandaloneRun)
#include "tst_standalonerun.moc"
