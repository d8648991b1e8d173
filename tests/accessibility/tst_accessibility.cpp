// What assistive technology sees of the dialog: every control without text
// of its own has an accessible name and description, translated with the
// rest of the dialog, and Tab visits every control once, in reading order.
#include "dialog/mpaencoderdlg.h"
#include "rows.h"
#include "widgets/toolbox.h"

#include <QAccessible>
#include <QApplication>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>

namespace {

constexpr uint32_t fullDialog = VL_FLAG_BASIC_SETTINGS | VL_FLAG_LOAD_SAVE | VL_FLAG_NO_INITIAL_CHECK;

std::unique_ptr<MPAEncoderDlg> makeDialog(uint32_t flags)
{
    static EncoderSettings settings {};
    DialogParams params {};
    params.flags = flags;
    return std::make_unique<MPAEncoderDlg>(&settings, &params, nullptr);
}

// The accessible interface of a control; "section" is the tool box's arrow
// button.
QAccessibleInterface* accessible(QWidget* dialog, const QString& name)
{
    return QAccessible::queryAccessibleInterface(name == "section"
            ? dialog->findChild<ToolBox*>()->findChild<QToolButton*>()
            : dialog->findChild<QWidget*>(name));
}

// name, the English name of the control, its role, the translation context
// of name and description
const std::tuple<const char*, const char*, QAccessible::Role, const char*> controls[] = {
    { "presetButton", "Restore defaults", QAccessible::Button, "IMPAEncoderDlg" },
    { "buttonLoad", "Load settings", QAccessible::Button, "IMPAEncoderDlg" },
    { "buttonSave", "Save settings", QAccessible::Button, "IMPAEncoderDlg" },
    { "buttonOk", "OK", QAccessible::Button, "IMPAEncoderDlg" },
    { "buttonCancel", "Cancel", QAccessible::Button, "IMPAEncoderDlg" },
    { "errorLog", "Info Window", QAccessible::EditableText, "IMPAEncoderDlg" },
    // The section is named by its title; its description is the tool box's.
    { "section", "Audio Format", QAccessible::CheckBox, "ToolBox" },
    // Lists are named by the label beside them (their buddy).
    { "layerList", "Layer:", QAccessible::ComboBox, "IMPEGAudioPage" },
    { "emphasisList", "Emphasis:", QAccessible::ComboBox, "IMPEGAudioPage" },
};

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void names_data()
    {
        QTest::addColumn<QString>("language"); // empty: untranslated
        QTest::addColumn<int>("control");
        for (const char* language : { "", "de", "jp" }) {
            for (size_t i = 0; i < std::size(controls); ++i)
                QTest::addRow("%s %s", *language ? language : "en", std::get<0>(controls[i])) << language << int(i);
        }
    }

    // The name a screen reader announces (for a list: its label's, as a
    // relation), the role, and a description that says more than the name;
    // in German and Japanese the catalogue's translations of the English
    // texts.
    void names()
    {
        QFETCH(QString, language);
        QFETCH(int, control);
        const auto& [object, name, role, context] = controls[control];
        const QString description = accessible(makeDialog(fullDialog).get(), object)->text(QAccessible::Description);
        QTranslator translator;
        QVERIFY(language.isEmpty() || translator.load("gui_mpa_" + language, VL_QM_DIR));
        QCoreApplication::installTranslator(&translator);
        const auto removeTranslator = qScopeGuard([&] { QCoreApplication::removeTranslator(&translator); });
        const auto translated = [&](const char* textContext, const QString& text) {
            return language.isEmpty() ? text : translator.translate(textContext, text.toUtf8().constData());
        };
        const auto dialog = makeDialog(fullDialog);
        QAccessibleInterface* const interface = accessible(dialog.get(), object);
        QCOMPARE(interface->role(), role);
        if (role == QAccessible::ComboBox) {
            const auto labels = interface->relations(QAccessible::Label);
            QCOMPARE(labels.size(), 1);
            QCOMPARE(labels.constFirst().first->text(QAccessible::Name), translated(context, name));
        } else {
            QVERIFY2(description.size() > int(strlen(name)), qPrintable(description));
            QCOMPARE(interface->text(QAccessible::Name),
                translated(role == QAccessible::CheckBox ? "BasicPage" : context, name));
            QCOMPARE(interface->text(QAccessible::Description), translated(context, description));
        }
    }

    void tabChain_data()
    {
        QTest::addColumn<uint32_t>("flags");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("full dialog") << fullDialog
                                     << QStringList { "presetList", "presetButton", "buttonLoad", "buttonSave",
                                            "errorLog", "qt_tabwidget_tabbar", "Audio Format", "layerList", "modeList",
                                            "bitrateList", "psychList", "emphasisList", "privateCheck",
                                            "copyrightCheck", "crcCheck", "originalCheck", "buttonCancel", "buttonOk",
                                            "IMPAEncoderDlg" };
        // The dialog and the tab widget keep the form's strong focus: the
        // dialog is the chain's last stop, and the tab bar one even without a
        // page.
        QTest::newRow("no page, no load and save")
            << uint32_t(0)
            << QStringList { "presetList", "presetButton", "errorLog", "qt_tabwidget_tabbar", "buttonCancel",
                   "buttonOk", "IMPAEncoderDlg" };
    }

    // Tab from the first control visits every control once and comes back
    // to it; Shift+Tab visits them in the opposite order. A stop is named by
    // its object name, or its accessible name where it has none.
    void tabChain()
    {
        QFETCH(uint32_t, flags);
        QFETCH(QStringList, expected);
        const auto dialog = makeDialog(flags);
        dialog->show();
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QWidget* const first = dialog->findChild<QWidget*>(expected.constFirst());
        first->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), first);
        const auto walk = [&](Qt::KeyboardModifiers modifiers) {
            QStringList visited;
            do {
                QWidget* const stop = QApplication::focusWidget();
                visited << (stop->objectName().isEmpty()
                        ? QAccessible::queryAccessibleInterface(stop)->text(QAccessible::Name)
                        : stop->objectName());
                QTest::keyClick(stop, Qt::Key_Tab, modifiers);
            } while (QApplication::focusWidget() != first && visited.size() <= expected.size());
            return visited.join(' ');
        };
        QCOMPARE(walk(Qt::NoModifier), expected.join(' '));
        QStringList backwards = expected.mid(1);
        std::reverse(backwards.begin(), backwards.end());
        QCOMPARE(walk(Qt::ShiftModifier), (expected.mid(0, 1) + backwards).join(' '));
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
