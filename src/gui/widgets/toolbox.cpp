#include "toolbox.h"

#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPixmap>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>

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

    auto* label = new QLabel(title, contentsFrame);
    QFont font;
    font.setWeight(QFont::Bold);
    label->setFont(font);

    grid->addWidget(button, row, 0, 1, 1);
    grid->addWidget(label, row, 1, 1, 1);
    grid->addWidget(widget, row + 1, 0, 1, 2);

    connect(button, SIGNAL(toggled(bool)), widget, SLOT(setVisible(bool)));
}
