#include "qwinwidget.h"

#include "platform/nativewindows.h"

#include <QApplication>
#include <QChildEvent>
#include <QFocusEvent>

QWinWidget::QWinWidget(WId hostWindow, QObject* parent, Qt::WindowFlags flags)
    : QWinWidget(hostWindow, NativeWindows::create(), parent, flags)
{
}

QWinWidget::QWinWidget(WId hostWindow, std::unique_ptr<NativeWindows> windows, QObject* parent, Qt::WindowFlags flags)
    : QWidget(nullptr, flags)
    , hostWindow(hostWindow)
    , windows(std::move(windows))
{
    // A parent object only: the widget stays a window of its own.
    if (parent)
        QObject::setParent(parent);
    if (!hostWindow || !this->windows)
        return;
    const WId own = winId(); // creates the native window
    this->windows->makeChildWindow(own);
    this->windows->reparent(own, hostWindow);
    QEvent embedding(QEvent::EmbeddingControl);
    QCoreApplication::sendEvent(this, &embedding);
}

QWinWidget::~QWinWidget() = default;

WId QWinWidget::hostWindowHandle() const
{
    return hostWindow;
}

void QWinWidget::childEvent(QChildEvent* event)
{
    QObject* const child = event->child();
    if (child->isWidgetType()) {
        if (event->added()) {
            child->installEventFilter(this);
        } else if (event->removed() && hostDisabled) {
            // A modal child deleted while it was still shown.
            hostDisabled = false;
            setHostEnabled(true);
            child->removeEventFilter(this);
        }
    }
    QWidget::childEvent(event);
}

bool QWinWidget::eventFilter(QObject* watched, QEvent* event)
{
    auto* const widget = qobject_cast<QWidget*>(watched);
    if (widget) {
        switch (event->type()) {
        case QEvent::Show:
            if (widget->isWindow())
                handleShow(widget);
            break;
        case QEvent::Hide:
            handleHide(widget);
            break;
        case QEvent::Close:
            if (windows)
                windows->activate(hostWindow);
            if (widget->testAttribute(Qt::WA_DeleteOnClose))
                deleteLater();
            break;
        case QEvent::WindowDeactivate:
            if (windows && widget->isModal() && widget->isHidden())
                windows->raise(hostWindow);
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void QWinWidget::handleShow(QWidget* window)
{
    if (!savedFocus && windows) {
        const WId focus = windows->focusWindow();
        savedFocus = focus ? focus : hostWindow;
    }
    hide();
    if (windows)
        windows->setOwner(window->windowHandle(), hostWindow);
    if (window->isModal() && !hostDisabled) {
        setHostEnabled(false);
        hostDisabled = true;
    }
}

void QWinWidget::handleHide(QWidget* widget)
{
    if (hostDisabled) {
        setHostEnabled(true);
        hostDisabled = false;
    }
    giveNativeFocus(savedFocus ? savedFocus : hostWindow);
    if (widget->testAttribute(Qt::WA_DeleteOnClose) && widget->isWindow())
        deleteLater();
}

void QWinWidget::focusInEvent(QFocusEvent* event)
{
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::TabFocusReason && reason != Qt::BacktabFocusReason)
        return;
    QWidget* candidate = this;
    while (!(candidate->focusPolicy() & Qt::TabFocus)) {
        candidate = candidate->nextInFocusChain();
        if (candidate == this)
            return; // nothing in the chain takes Tab focus
    }
    candidate->setFocus(reason);
    candidate->setAttribute(Qt::WA_KeyboardFocusChange);
    candidate->window()->setAttribute(Qt::WA_KeyboardFocusChange);
    // Shift+Tab arrives at the end of the chain: one step back from its start.
    if (reason == Qt::BacktabFocusReason)
        QWidget::focusNextPrevChild(false);
}

bool QWinWidget::focusNextPrevChild(bool next)
{
    QWidget* const current = focusWidget() ? focusWidget() : this;
    if (next) {
        // The chain leaves the widgets inside this one at the next window.
        for (QWidget* widget = current->nextInFocusChain();; widget = widget->nextInFocusChain()) {
            if (widget->isWindow()) {
                giveNativeFocus(hostWindow);
                return true;
            }
            if (widget->focusPolicy() & Qt::TabFocus)
                return QWidget::focusNextPrevChild(true);
        }
    }
    if (current->isWindow()) {
        giveNativeFocus(hostWindow);
        return true;
    }
    // The focus leaves backwards when no focusable widget lies between the
    // last window boundary and the focused widget.
    QWidget* boundary = nullptr;
    for (QWidget* widget = current->nextInFocusChain(); widget != current; widget = widget->nextInFocusChain()) {
        if (widget->focusPolicy() & Qt::TabFocus)
            boundary = nullptr;
        else if (widget->isWindow())
            boundary = widget;
    }
    if (boundary) {
        giveNativeFocus(hostWindow);
        return true;
    }
    return QWidget::focusNextPrevChild(false);
}

bool QWinWidget::nativeEvent(const QByteArray& eventType, void* message, NativeEventResult* result)
{
    if (windows && windows->isFocusIn(eventType, message, internalWinId())) {
        QFocusEvent focusIn(QEvent::FocusIn, windows->shiftHeld() ? Qt::BacktabFocusReason : Qt::TabFocusReason);
        QCoreApplication::sendEvent(this, &focusIn);
    }
    // The toolkit goes on handling the message itself.
    Q_UNUSED(result)
    return false;
}

void QWinWidget::setHostEnabled(bool enabled)
{
    if (windows)
        windows->setEnabled(hostWindow, enabled);
}

void QWinWidget::giveNativeFocus(WId window)
{
    if (windows)
        windows->setFocus(window);
}
