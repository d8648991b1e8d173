// What assistive technology sees of the dialog: every control without text
// of its own has an accessible name and description, translated with the
// rest of the dialog, and Tab visits every control once, in reading order.
#include "dialog/mpaencoderdlg.h"
#include "widgets/toolbox.h"

#include <QAccessible>
#include <QApplication>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>
#include <memory>

namespace {

constexpr uint32_t fullDialog = VL_FLAG_BASIC_SETTINGS | VL_FLAG_LOAD_SAVE | VL_FLAG_NO_INITIAL_CHECK;

std::unique_ptr<MPAEncoderDlg> makeDialog(uint32_t flags, EncoderSettings* settings)
{
    DialogParams params {};
    params.flags = flags;
    return std::make_unique<MPAEncoderDlg>(settings, &params, nullptr);
}

// A control by object name; "section" is the tool box's arrow button.
QWidget* control(QWidget* dialog, const QString& name)
{
    if (name == QLatin1String("section")) {
        auto* const toolBox = dialog->findChild<ToolBox*>();
        return toolBox ? toolBox->findChild<QToolButton*>() : nullptr;
    }
    return dialog->findChild<QWidget*>(name);
}

QString accessibleText(QWidget* widget, QAccessible::Text kind)
{
    QAccessibleInterface* const accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(kind) : QString();
}

// How a stop of the tab chain is reported: its object name, or its
// accessible name where it has none.
QString stopName(QWidget* widget)
{
    if (!widget)
        return QStringLiteral("(none)");
    return widget->objectName().isEmpty() ? accessibleText(widget, QAccessible::Name) : widget->objectName();
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void names_data();
    void names();
    void tabChain_data();
    void tabChain();
};

void TestAccessibility::names_data()
{
    QTest::addColumn<QString>("language"); // empty: untranslated
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("role");
    QTest::addColumn<QByteArray>("context"); // translation context of name and description
    const struct
    {
        const char* control;
        const char* name;
        QAccessible::Role role;
        const char* context;
    } controls[] = {
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
    for (const char* language : { "", "de", "jp" }) {
        for (const auto& row : controls)
            QTest::addRow("%s %s", *language ? language : "en", row.control)
                << language << row.control << row.name << int(row.role) << QByteArray(row.context);
    }
}

// The name a screen reader announces (for a list: its label's, as a
// relation), the role, and a description that says more than the name; in
// German and Japanese the catalogue's translations of the English texts.
void TestAccessibility::names()
{
    QFETCH(QString, language);
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(int, role);
    QFETCH(QByteArray, context);
    EncoderSettings settings {};
    const auto english = makeDialog(fullDialog, &settings);
    const QString englishDescription = accessibleText(::control(english.get(), control), QAccessible::Description);

    QTranslator translator;
    if (!language.isEmpty()) {
        QVERIFY(translator.load(QStringLiteral("gui_mpa_") + language, QStringLiteral(VL_QM_DIR)));
        QCoreApplication::installTranslator(&translator);
    }
    const auto removeTranslator = qScopeGuard([&] { QCoreApplication::removeTranslator(&translator); });
    const auto translated = [&](const QByteArray& textContext, const QString& text) {
        return language.isEmpty() ? text : translator.translate(textContext.constData(), text.toUtf8().constData());
    };

    const auto dialog = makeDialog(fullDialog, &settings);
    QAccessibleInterface* const accessible = QAccessible::queryAccessibleInterface(::control(dialog.get(), control));
    QVERIFY(accessible);
    QCOMPARE(int(accessible->role()), role);
    if (role == QAccessible::ComboBox) {
        const auto labels = accessible->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.constFirst().first->text(QAccessible::Name), translated(context, name));
        return;
    }
    const QByteArray nameContext = control == QLatin1String("section") ? "BasicPage" : context;
    QCOMPARE(accessible->text(QAccessible::Name), translated(nameContext, name));
    QVERIFY2(englishDescription.size() > name.size(), qPrintable(englishDescription));
    QCOMPARE(accessible->text(QAccessible::Description), translated(context, englishDescription));
}

void TestAccessibility::tabChain_data()
{
    QTest::addColumn<uint32_t>("flags");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("full dialog") << fullDialog
                                 << QStringList { "presetList", "presetButton", "buttonLoad", "buttonSave", "errorLog",
                                        "qt_tabwidget_tabbar", "Audio Format", "layerList", "modeList", "bitrateList",
                                        "psychList", "emphasisList", "privateCheck", "copyrightCheck", "crcCheck",
                                        "originalCheck", "buttonCancel", "buttonOk", "IMPAEncoderDlg" };
    // The dialog and the tab widget keep the form's strong focus: the dialog
    // is the chain's last stop, and the tab bar one even without a page.
    QTest::newRow("no page, no load and save")
        << uint32_t(0)
        << QStringList { "presetList", "presetButton", "errorLog", "qt_tabwidget_tabbar", "buttonCancel", "buttonOk",
               "IMPAEncoderDlg" };
}

// Tab from the first control visits every control once and comes back to
// it; Shift+Tab visits them in the opposite order.
void TestAccessibility::tabChain()
{
    QFETCH(uint32_t, flags);
    QFETCH(QStringList, expected);
    EncoderSettings settings {};
    const auto dialog = makeDialog(flags, &settings);
    dialog->show();
    dialog->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
    QWidget* const first = dialog->findChild<QWidget*>(expected.constFirst());
    first->setFocus(Qt::TabFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), first);

    const auto walk = [&](Qt::KeyboardModifiers modifiers) {
        QStringList visited;
        do {
            visited << stopName(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, modifiers);
        } while (QApplication::focusWidget() != first && visited.size() <= expected.size());
        return visited;
    };
    // Joined, so that a failure shows the whole chain.
    QCOMPARE(walk(Qt::NoModifier).join(QLatin1Char(' ')), expected.join(QLatin1Char(' ')));
    QStringList backwards = expected.mid(1);
    std::reverse(backwards.begin(), backwards.end());
    backwards.prepend(expected.constFirst());
    QCOMPARE(walk(Qt::ShiftModifier).join(QLatin1Char(' ')), backwards.join(QLatin1Char(' ')));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
