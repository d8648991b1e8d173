// What assistive technology sees of the dialog: every control without text
// of its own has a name and description, translated with the rest of the
// dialog, and Tab visits every control once, in reading order.
#include "dialog/mpaencoderdlg.h"
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

// object name, English name, role, translation context of name and
// description; "section" is the tool box's arrow button, named by its title
// with the tool box's description; lists are named by their label (buddy)
const std::tuple<const char*, const char*, QAccessible::Role, const char*> controls[] = {
    { "presetButton", "Restore defaults", QAccessible::Button, "IMPAEncoderDlg" },
    { "buttonLoad", "Load settings", QAccessible::Button, "IMPAEncoderDlg" },
    { "buttonSave", "Save settings", QAccessible::Button, "IMPAEncoderDlg" },
    { "buttonOk", "OK", QAccessible::Button, "IMPAEncoderDlg" },
    { "buttonCancel", "Cancel", QAccessible::Button, "IMPAEncoderDlg" },
    { "errorLog", "Info Window", QAccessible::EditableText, "IMPAEncoderDlg" },
    { "section", "Audio Format", QAccessible::CheckBox, "ToolBox" },
    { "layerList", "Layer:", QAccessible::ComboBox, "IMPEGAudioPage" },
    { "emphasisList", "Emphasis:", QAccessible::ComboBox, "IMPEGAudioPage" },
};

QAccessibleInterface* accessible(QWidget* dialog, const QString& name)
{
    return QAccessible::queryAccessibleInterface(name == "section"
            ? dialog->findChild<ToolBox*>()->findChild<QToolButton*>()
            : dialog->findChild<QWidget*>(name));
}

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

    // The announced name (a list's: its label's, as a relation), the role,
    // and a description that says more than the name; translated, the
    // catalogue's translations of the English texts.
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
            return;
        }
        QVERIFY2(description.size() > int(strlen(name)), qPrintable(description));
        QCOMPARE(interface->text(QAccessible::Name),
            translated(role == QAccessible::CheckBox ? "BasicPage" : context, name));
        QCOMPARE(interface->text(QAccessible::Description), translated(context, description));
    }

    // Tab from the first control visits every control once and comes back
    // to it, Shift+Tab in the opposite order. A stop is named by its object
    // name, or where it has none by its accessible name. The dialog and the
    // tab widget keep the form's strong focus: the dialog is the last stop.
    void tabChain()
    {
        const QStringList stops = QStringLiteral(
            "presetList, presetButton, buttonLoad, buttonSave, errorLog, qt_tabwidget_tabbar, Audio Format, layerList, "
            "modeList, bitrateList, psychList, emphasisList, privateCheck, copyrightCheck, crcCheck, originalCheck, "
            "buttonCancel, buttonOk, IMPAEncoderDlg")
                                      .split(", ");
        const auto dialog = makeDialog(fullDialog);
        dialog->show();
        dialog->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QWidget* const first = dialog->findChild<QWidget*>(stops.constFirst());
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
            } while (QApplication::focusWidget() != first && visited.size() <= stops.size());
            return visited;
        };
        QCOMPARE(walk(Qt::NoModifier), stops);
        QStringList backwards = stops.mid(1);
        std::reverse(backwards.begin(), backwards.end());
        QCOMPARE(walk(Qt::ShiftModifier), stops.mid(0, 1) + backwards);
    }
};

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
