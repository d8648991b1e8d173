#include "dialogdriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>

namespace {
QString escaped(QString text)
{
    return text.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

DialogDriver::Action clickNamed(const QString& name)
{
    return [name](QWidget* modal, DialogDriver& driver) {
        if (auto* const button = modal->findChild<QAbstractButton*>(name))
            button->click();
        else
            driver.record(QStringLiteral("missing button ") + name);
    };
}
} // namespace

DialogDriver::DialogDriver(QObject* parent)
    : QObject(parent)
{
    timer.setInterval(20);
    connect(&timer, &QTimer::timeout, this, &DialogDriver::poll);
}

bool DialogDriver::addScript(const QString& script)
{
    bool known = true;
    for (const QString& part : script.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString command = part.trimmed();
        if (const Action action = commandAction(command))
            addAction(command, action);
        else
            known = false;
    }
    return known;
}

void DialogDriver::addAction(const QString& name, const Action& action)
{
    steps.append({ name, action });
}

void DialogDriver::start()
{
    clock.start();
    timer.start();
}

void DialogDriver::record(const QString& line)
{
    recorded << line;
    if (observationSink)
        observationSink(line);
}

DialogDriver::Action DialogDriver::commandAction(const QString& command)
{
    if (command == QLatin1String("ok"))
        return clickNamed(QStringLiteral("buttonOk"));
    if (command == QLatin1String("cancel"))
        return clickNamed(QStringLiteral("buttonCancel"));
    if (command.startsWith(QLatin1String("click:")))
        return clickNamed(command.mid(6));
    if (command == QLatin1String("escape")) {
        return [](QWidget* modal, DialogDriver&) {
            QWidget* const focus = QApplication::focusWidget();
            QTest::keyClick(focus && modal->isAncestorOf(focus) ? focus : modal, Qt::Key_Escape);
        };
    }
    if (command == QLatin1String("close"))
        return [](QWidget* modal, DialogDriver&) { modal->close(); };
    if (command == QLatin1String("dump")) {
        return [](QWidget* modal, DialogDriver& driver) {
            const QString prefix = QStringLiteral("dump %1 ").arg(++driver.dumps);
            for (const QString& line : describe(modal))
                driver.record(prefix + line);
        };
    }
    if (command.startsWith(QLatin1String("pick:")) && command.indexOf(QLatin1Char(':'), 5) > 0) {
        const QString name = command.section(QLatin1Char(':'), 1, 1);
        const QString text = command.section(QLatin1Char(':'), 2);
        return [name, text](QWidget* modal, DialogDriver& driver) {
            auto* const combo = modal->findChild<QComboBox*>(name);
            const int index = combo ? combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) : -1;
            if (index < 0) {
                driver.record(QStringLiteral("missing entry %1 in %2").arg(text, name));
                return;
            }
            // What the combo box does when the user chooses from its list.
            combo->setCurrentIndex(index);
            emit combo->activated(index);
            emit combo->textActivated(combo->itemText(index));
        };
    }
    return {};
}

void DialogDriver::poll()
{
    if (clock.elapsed() > timeoutMs) {
        if (!expired) {
            expired = true;
            record(QStringLiteral("timeout"));
        }
        rejectEverything();
        return;
    }
    QWidget* const modal = QApplication::activeModalWidget();
    if (nextStep >= steps.size()) {
        if (modal) {
            record(QStringLiteral("left open: ") + QLatin1String(modal->metaObject()->className()));
            rejectEverything();
        } else {
            timer.stop();
        }
        return;
    }
    if (!modal)
        return;
    // Taken before the action: a step that opens a nested modal loop lets
    // poll() run again before the action returns.
    const int index = nextStep++;
    const Step step = steps.at(index);
    const QPointer<QWidget> target(modal);
    step.action(modal, *this);
    const bool open = target && target->isVisible();
    record(QStringLiteral("step %1 %2 -> %3").arg(index + 1).arg(step.name, open ? "open" : "closed"));
}

void DialogDriver::rejectEverything()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible())
            continue;
        if (auto* const dialog = qobject_cast<QDialog*>(window))
            dialog->reject();
        else if (window->isModal())
            window->close();
    }
}

QStringList DialogDriver::describe(QWidget* modal)
{
    if (!modal)
        return {};
    QStringList lines { QStringLiteral("class=") + QLatin1String(modal->metaObject()->className()),
        QStringLiteral("title=") + escaped(modal->windowTitle()) };
    for (const QWidget* child : modal->findChildren<QWidget*>()) {
        const QString name = child->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        if (const auto* combo = qobject_cast<const QComboBox*>(child)) {
            QStringList items;
            for (int i = 0; i < combo->count(); ++i)
                items << combo->itemText(i);
            lines << QStringLiteral("combo.%1=").arg(name) + combo->currentText();
            lines << QStringLiteral("combo.%1.items=").arg(name) + items.join(QLatin1Char('|'));
        } else if (const auto* edit = qobject_cast<const QTextEdit*>(child)) {
            const QString prefix = QStringLiteral("text.") + name;
            lines << prefix + QLatin1Char('=') + escaped(edit->toPlainText());
            for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
                for (auto it = block.begin(); !it.atEnd(); ++it) {
                    lines << prefix + QStringLiteral(".fragment=")
                            + it.fragment().charFormat().foreground().color().name() + QLatin1Char(' ')
                            + escaped(it.fragment().text());
                }
            }
        } else if (const auto* tabs = qobject_cast<const QTabWidget*>(child)) {
            QStringList titles;
            for (int i = 0; i < tabs->count(); ++i)
                titles << tabs->tabText(i);
            lines << QStringLiteral("tabs.%1=").arg(name) + titles.join(QLatin1Char('|'));
        }
    }
    return lines;
}
