#include "toolbox.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Moves the controls inside `section` that Tab stops at right behind
// `anchor` in the tab chain, in their own order, so that the keyboard
// reaches a section's arrow before its contents.
void followInTabChain(QWidget* anchor, QWidget* section)
{
    QList<QWidget*> stops;
    for (QWidget* widget = section->nextInFocusChain(); widget != section; widget = widget->nextInFocusChain()) {
        if (section->isAncestorOf(widget) && (widget->focusPolicy() & Qt::TabFocus))
            stops.append(widget);
    }
    QWidget* previous = anchor;
    for (QWidget* stop : stops) {
        QWidget::setTabOrder(previous, stop);
        previous = stop;
    }
}

} // namespace

ToolBox::ToolBox(QWidget* parent, Qt::WindowFlags flags)
    : QFrame(parent, flags)
    , scrollArea(nullptr)
    , contentsFrame(nullptr)
    , grid(nullptr)
    , mainLayout(new QVBoxLayout(this))
{
    scrollArea = new QScrollArea(this);
    QSizePolicy policy(QSizePolicy::MinimumExpanding, QSizePolicy::MinimumExpanding);
    policy.setHorizontalStretch(0);
    policy.setVerticalStretch(0);
    policy.setHeightForWidth(scrollArea->sizePolicy().hasHeightForWidth());
    scrollArea->setSizePolicy(policy);
    // The contents follow the width of the view; only a vertical scroll bar
    // appears, when the open sections are taller than the view.
    scrollArea->setWidgetResizable(true);
    scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Tab goes through the sections' controls, and the view follows the
    // focus; the view itself is no stop.
    scrollArea->setFocusPolicy(Qt::NoFocus);

    contentsFrame = new QFrame(this);
    grid = new QGridLayout(contentsFrame);
    // Sections pack at the top, so closing one moves the ones below it up.
    grid->setAlignment(Qt::AlignTop);
    scrollArea->setWidget(contentsFrame);

    mainLayout->addWidget(scrollArea);
    mainLayout->setContentsMargins(0, 0, 0, 0);
}

void ToolBox::addItem(QWidget* widget, const QString& title, const QString& expandedIcon, const QString& collapsedIcon)
{
    const int row = grid->rowCount();

    auto* button = new QToolButton(contentsFrame);
    button->setCheckable(true);
    button->setChecked(true);
    QIcon icon;
    icon.addPixmap(QPixmap(expandedIcon), QIcon::Normal, QIcon::On);
    icon.addPixmap(QPixmap(collapsedIcon), QIcon::Normal, QIcon::Off);
    button->setIcon(icon);
    // The arrow has no text: assistive technology names it after the section.
    button->setAccessibleName(title);
    button->setAccessibleDescription(tr("Shows or hides the controls of this section."));

    auto* label = new QLabel(title, contentsFrame);
    QFont font;
    font.setWeight(QFont::Bold);
    label->setFont(font);

    grid->addWidget(button, row, 0, 1, 1);
    grid->addWidget(label, row, 1, 1, 1);
    grid->addWidget(widget, row + 1, 0, 1, 2);
    followInTabChain(button, widget);

    connect(button, SIGNAL(toggled(bool)), widget, SLOT(setVisible(bool)));
}
