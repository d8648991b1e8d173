#include "dialogdriver.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QKeySequence>
#include <QLabel>
#include <QPointer>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextFragment>

namespace {
QString escaped(QString text)
{
    return text.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\n'), QLatin1String("\\n"));
}

QString flag(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

bool isNamed(const QObject* object)
{
    return !object->objectName().isEmpty() && !object->objectName().startsWith(QLatin1String("qt_"));
}

QWidget* keyTarget(QWidget* modal)
{
    QWidget* const focus = QApplication::focusWidget();
    return focus && modal->isAncestorOf(focus) ? focus : modal;
}

void describeTextEdit(const QTextEdit* edit, const QString& prefix, QStringList& lines)
{
    lines << prefix + QLatin1Char('=') + escaped(edit->toPlainText());
    for (QTextBlock block = edit->document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.isValid())
                lines << prefix + QStringLiteral(".fragment=") + fragment.charFormat().foreground().color().name()
                        + QLatin1Char(' ') + escaped(fragment.text());
        }
    }
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
    const QStringList commands = script.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (const QString& command : commands)
        known = addCommand(command.trimmed()) && known;
    return known;
}

bool DialogDriver::addCommand(const QString& command)
{
    const Action action = commandAction(command);
    if (!action)
        return false;
    addAction(command, action);
    return true;
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

DialogDriver::Action DialogDriver::commandAction(const QString& command) const
{
    const auto clickNamed = [](const QString& name) {
        return [name](QWidget* modal, DialogDriver& driver) {
            auto* const button = modal->findChild<QAbstractButton*>(name);
            if (button)
                button->click();
            else
                driver.record(QStringLiteral("missing button ") + name);
        };
    };
    if (command == QLatin1String("ok"))
        return clickNamed(QStringLiteral("buttonOk"));
    if (command == QLatin1String("cancel"))
        return clickNamed(QStringLiteral("buttonCancel"));
    if (command.startsWith(QLatin1String("click:")))
        return clickNamed(command.mid(6));
    if (command == QLatin1String("escape"))
        return [](QWidget* modal, DialogDriver&) { QTest::keyClick(keyTarget(modal), Qt::Key_Escape); };
    if (command == QLatin1String("close"))
        return [](QWidget* modal, DialogDriver&) { modal->close(); };
    if (command == QLatin1String("reject")) {
        return [](QWidget* modal, DialogDriver&) {
            if (auto* const dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        };
    }
    if (command == QLatin1String("dump")) {
        return [](QWidget* modal, DialogDriver& driver) {
            const QString prefix = QStringLiteral("dump %1 ").arg(++driver.dumps);
            const QStringList lines = describe(modal);
            for (const QString& line : lines)
                driver.record(prefix + line);
        };
    }
    if (command.startsWith(QLatin1String("key:"))) {
        const QKeySequence sequence(command.mid(4));
        if (sequence.isEmpty())
            return {};
        return [sequence](QWidget* modal, DialogDriver&) { QTest::keySequence(keyTarget(modal), sequence); };
    }
    if (command.startsWith(QLatin1String("wait:"))) {
        const int milliseconds = command.mid(5).toInt();
        return [milliseconds](
                   QWidget*, DialogDriver& driver) { driver.holdUntil = driver.clock.elapsed() + milliseconds; };
    }
    if (command.startsWith(QLatin1String("pick:"))) {
        const QStringList parts = command.mid(5).split(QLatin1Char(':'));
        if (parts.size() < 2)
            return {};
        const QString name = parts.first();
        const QString text = command.mid(5 + name.size() + 1);
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
    if (clock.elapsed() < holdUntil)
        return;

    QWidget* const modal = QApplication::activeModalWidget();
    if (nextStep >= steps.size()) {
        if (modal) {
            record(QStringLiteral("left open: ") + QLatin1String(modal->metaObject()->className()));
            rejectEverything();
            return;
        }
        if (!finished) {
            finished = true;
            timer.stop();
            emit allStepsDone();
        }
        return;
    }
    if (modal)
        runStep(modal);
}

void DialogDriver::runStep(QWidget* modal)
{
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
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget* window : windows) {
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
    QStringList lines;
    if (!modal)
        return lines;
    lines << QStringLiteral("class=") + QLatin1String(modal->metaObject()->className());
    lines << QStringLiteral("title=") + escaped(modal->windowTitle());

    const QList<QWidget*> children = modal->findChildren<QWidget*>();
    for (const QWidget* child : children) {
        if (!isNamed(child))
            continue;
        const QString name = child->objectName();
        if (const auto* combo = qobject_cast<const QComboBox*>(child)) {
            QStringList items;
            for (int i = 0; i < combo->count(); ++i)
                items << combo->itemText(i);
            lines << QStringLiteral("combo.%1=").arg(name) + combo->currentText();
            lines << QStringLiteral("combo.%1.enabled=").arg(name) + flag(combo->isEnabled());
            lines << QStringLiteral("combo.%1.items=").arg(name) + items.join(QLatin1Char('|'));
        } else if (const auto* check = qobject_cast<const QCheckBox*>(child)) {
            lines << QStringLiteral("check.%1=").arg(name) + flag(check->isChecked());
            lines << QStringLiteral("check.%1.enabled=").arg(name) + flag(check->isEnabled());
        } else if (const auto* button = qobject_cast<const QAbstractButton*>(child)) {
            lines << QStringLiteral("button.%1.visible=").arg(name) + flag(button->isVisibleTo(modal));
            lines << QStringLiteral("button.%1.enabled=").arg(name) + flag(button->isEnabled());
        } else if (const auto* edit = qobject_cast<const QTextEdit*>(child)) {
            describeTextEdit(edit, QStringLiteral("text.") + name, lines);
        } else if (const auto* tabs = qobject_cast<const QTabWidget*>(child)) {
            QStringList titles;
            for (int i = 0; i < tabs->count(); ++i)
                titles << tabs->tabText(i);
            lines << QStringLiteral("tabs.%1=").arg(name) + titles.join(QLatin1Char('|'));
        } else if (qobject_cast<const QLabel*>(child)) {
            lines << QStringLiteral("label.%1.visible=").arg(name) + flag(child->isVisibleTo(modal));
        }
    }
    return lines;
}
