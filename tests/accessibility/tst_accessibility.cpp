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
    void namedControls_data();
    void namedControls();
    void translatedNames_data();
    void translatedNames();
    void tabChain_data();
    void tabChain();
};

void TestAccessibility::namedControls_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("role");
    QTest::newRow("restore") << "presetButton"
                             << "Restore defaults" << int(QAccessible::Button);
    QTest::newRow("load") << "buttonLoad"
                          << "Load settings" << int(QAccessible::Button);
    QTest::newRow("save") << "buttonSave"
                          << "Save settings" << int(QAccessible::Button);
    QTest::newRow("OK") << "buttonOk"
                        << "OK" << int(QAccessible::Button);
    QTest::newRow("cancel") << "buttonCancel"
                            << "Cancel" << int(QAccessible::Button);
    QTest::newRow("section arrow") << "section"
                                   << "Audio Format" << int(QAccessible::CheckBox);
    QTest::newRow("info window") << "errorLog"
                                 << "Info Window" << int(QAccessible::EditableText);
    QTest::newRow("layer list") << "layerList"
                                << "Layer:" << int(QAccessible::ComboBox);
    QTest::newRow("emphasis list") << "emphasisList"
                                   << "Emphasis:" << int(QAccessible::ComboBox);
}

// The name a screen reader announces, the role it announces it with, and a
// description that says more than the name.
void TestAccessibility::namedControls()
{
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(int, role);
    EncoderSettings settings {};
    const auto dialog = makeDialog(fullDialog, &settings);
    QWidget* const widget = ::control(dialog.get(), control);
    QVERIFY(widget);
    QAccessibleInterface* const accessible = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(accessible);
    QCOMPARE(int(accessible->role()), role);
    if (role == QAccessible::ComboBox) {
        // A list is named by the label beside it (its buddy), as a relation.
        const auto labels = accessible->relations(QAccessible::Label);
        QCOMPARE(labels.size(), 1);
        QCOMPARE(labels.constFirst().first->text(QAccessible::Name), name);
        return;
    }
    QCOMPARE(accessible->text(QAccessible::Name), name);
    const QString description = accessible->text(QAccessible::Description);
    QVERIFY2(description.size() > name.size() && description != name, qPrintable(description));
}

void TestAccessibility::translatedNames_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QByteArray>("nameContext");
    QTest::addColumn<QByteArray>("descriptionContext");
    for (const char* language : { "de", "jp" }) {
        for (const char* control :
            { "presetButton", "buttonLoad", "buttonSave", "buttonOk", "buttonCancel", "errorLog" })
            QTest::addRow("%s %s", language, control)
                << language << control << QByteArray("IMPAEncoderDlg") << QByteArray("IMPAEncoderDlg");
        QTest::addRow("%s section arrow", language)
            << language << "section" << QByteArray("BasicPage") << QByteArray("ToolBox");
    }
}

// Names and descriptions are the catalogue's translations of the English
// ones: they pass through the translation of the form or the class.
void TestAccessibility::translatedNames()
{
    QFETCH(QString, language);
    QFETCH(QString, control);
    QFETCH(QByteArray, nameContext);
    QFETCH(QByteArray, descriptionContext);
    EncoderSettings settings {};
    QString englishName;
    QString englishDescription;
    {
        const auto dialog = makeDialog(fullDialog, &settings);
        englishName = accessibleText(::control(dialog.get(), control), QAccessible::Name);
        englishDescription = accessibleText(::control(dialog.get(), control), QAccessible::Description);
    }
    QTranslator translator;
    QVERIFY(translator.load(QStringLiteral("gui_mpa_") + language, QStringLiteral(VL_QM_DIR)));
    QVERIFY(QCoreApplication::installTranslator(&translator));
    const auto removeTranslator = qScopeGuard([&] { QCoreApplication::removeTranslator(&translator); });
    const QString expectedName = translator.translate(nameContext.constData(), englishName.toUtf8().constData());
    const QString expectedDescription
        = translator.translate(descriptionContext.constData(), englishDescription.toUtf8().constData());
    QVERIFY2(!expectedName.isEmpty(), qPrintable(englishName));
    QVERIFY2(!expectedDescription.isEmpty(), qPrintable(englishDescription));

    const auto dialog = makeDialog(fullDialog, &settings);
    QCOMPARE(accessibleText(::control(dialog.get(), control), QAccessible::Name), expectedName);
    QCOMPARE(accessibleText(::control(dialog.get(), control), QAccessible::Description), expectedDescription);
}

void TestAccessibility::tabChain_data()
{
    QTest::addColumn<uint32_t>("flags");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("full dialog") << fullDialog
                                 << QStringList { "presetList", "presetButton", "buttonLoad", "buttonSave", "errorLog",
                                        "qt_tabwidget_tabbar", "Audio Format", "layerList", "modeList", "bitrateList",
                                        "psychList", "emphasisList", "privateCheck", "copyrightCheck", "crcCheck",
                                        "originalCheck", "buttonCancel", "buttonOk" };
    QTest::newRow("no page, no load and save")
        << uint32_t(0) << QStringList { "presetList", "presetButton", "errorLog", "buttonCancel", "buttonOk" };
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
