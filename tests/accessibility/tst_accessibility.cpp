// What assistive technology sees: controls without text of their own have a translated
// name and description, and Tab visits every control once, in reading order.
#include "dialog/mpaencoderdlg.h"
#include "widgets/toolbox.h"

#include <QAccessible>
#include <QApplication>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>

namespace {

std::unique_ptr<MPAEncoderDlg> makeDialog()
{
    static EncoderSettings settings {};
    DialogParams params {};
    params.flags = VL_FLAG_BASIC_SETTINGS | VL_FLAG_LOAD_SAVE | VL_FLAG_NO_INITIAL_CHECK;
    return std::make_unique<MPAEncoderDlg>(&settings, &params, nullptr);
}

// object name, English name, role, translation context; "section" is the tool box's
// arrow button, named by its title; lists are named by their label (buddy)
const std::tuple<const char*, const char*, QAccessible::Role, const char*> controls[] = {
    { "presetButton", "Restore defaults", QAccessible::Button, "IMPAEncoderDlg" },
    { "buttonOk", "OK", QAccessible::Button, "IMPAEncoderDlg" },
    { "errorLog", "Info Window", QAccessible::EditableText, "IMPAEncoderDlg" },
    { "section", "Audio Format", QAccessible::CheckBox, "ToolBox" },
    { "layerList", "Layer:", QAccessible::ComboBox, "IMPEGAudioPage" },
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

    // The role, the name (a list's label, as a relation) and a description
    // longer than the name; translated, the catalogue's translations.
    void names()
    {
        QFETCH(QString, language);
        QFETCH(int, control);
        const auto& [object, name, role, context] = controls[control];
        const QString description = accessible(makeDialog().get(), object)->text(QAccessible::Description);
        QTranslator translator;
        QVERIFY(language.isEmpty() || translator.load("gui_mpa_" + language, VL_QM_DIR));
        QCoreApplication::installTranslator(&translator); // its destructor removes it
        const auto translated = [&](const char* textContext, const QString& text) {
            return language.isEmpty() ? text : translator.translate(textContext, text.toUtf8().constData());
        };
        const auto dialog = makeDialog();
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

    // Tab goes round every stop (object name, else accessible name) once,
    // Shift+Tab backwards; the dialog keeps the form's strong focus.
    void tabChain()
    {
        const QStringList stops = QStringLiteral(
            "presetList, presetButton, buttonLoad, buttonSave, errorLog, qt_tabwidget_tabbar, Audio Format, layerList, "
            "modeList, bitrateList, psychList, emphasisList, privateCheck, copyrightCheck, crcCheck, originalCheck, "
            "buttonCancel, buttonOk, IMPAEncoderDlg")
                                      .split(", ");
        const auto dialog = makeDialog();
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
