#ifndef VL_WIDGETS_QWINWIDGET_H
#define VL_WIDGETS_QWINWIDGET_H

#include <QWidget>
#include <memory>

class NativeWindows;

// An invisible widget that adopts a native window of a host without a
// toolkit of its own. Its native window becomes a child of the host window;
// windows created with this widget as parent (the settings dialog) then
// behave as the host's own modal children: the host is disabled while a
// modal one is up, gets the keyboard focus back on the native control that
// had it, and Tab and Shift+Tab move from the widgets inside this one to
// the host's controls.
//
// Every native window operation goes through a NativeWindows object; where
// the platform has none (offscreen, Wayland) the widget adopts nothing.
class QWinWidget : public QWidget
{
    Q_OBJECT

public:
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    using NativeEventResult = qintptr;
#else
    using NativeEventResult = long;
#endif

    // Adopts `hostWindow` (nothing for a null handle) through the running
    // platform's native windows. `parent` becomes the parent object only;
    // the widget stays a window.
    explicit QWinWidget(WId hostWindow, QObject* parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    // The same through the given native windows (null: none).
    QWinWidget(WId hostWindow, std::unique_ptr<NativeWindows> windows, QObject* parent = nullptr,
        Qt::WindowFlags flags = Qt::WindowFlags());
    ~QWinWidget() override;

    WId hostWindowHandle() const;

protected:
    // Watches the windows created with this widget as parent.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void childEvent(QChildEvent* event) override;
    // Tab or Shift+Tab from a host control into this widget's window.
    void focusInEvent(QFocusEvent* event) override;
    // Tab past the last focusable widget, or Shift+Tab before the first,
    // gives the keyboard focus to the host window.
    bool focusNextPrevChild(bool next) override;
    // Notices that the widget's own native window received the focus.
    bool nativeEvent(const QByteArray& eventType, void* message, NativeEventResult* result) override;

private:
    void setHostEnabled(bool enabled);
    void giveNativeFocus(WId window);
    void handleShow(QWidget* window);
    void handleHide(QWidget* widget);

    const WId hostWindow;
    // The native window that had the keyboard focus when the first child
    // window was shown; kept for every later one.
    WId savedFocus = 0;
    // True while the host window is disabled on behalf of a modal child.
    bool hostDisabled = false;
    std::unique_ptr<NativeWindows> windows;
};

#endif
