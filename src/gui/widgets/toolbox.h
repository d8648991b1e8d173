#ifndef VL_WIDGETS_TOOLBOX_H
#define VL_WIDGETS_TOOLBOX_H

#include <QFrame>

class QGridLayout;
class QScrollArea;
class QVBoxLayout;

// Collapsible sections stacked in a vertical scroll area. Each section is a
// checkable arrow button, a bold title and the section's widget below them;
// the button shows and hides the widget. Unlike QToolBox, any number of
// sections may be open at once, and every section starts open.
class ToolBox : public QFrame
{
    Q_OBJECT

public:
    explicit ToolBox(QWidget* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());

    // Appends a section. The icons are image file names: `expandedIcon` is
    // shown while the section is open, `collapsedIcon` while it is closed.
    void addItem(QWidget* widget, const QString& title, const QString& expandedIcon, const QString& collapsedIcon);

private:
    QScrollArea* scrollArea;
    QFrame* contentsFrame;
    QGridLayout* grid;
    QVBoxLayout* mainLayout;
};

#endif
