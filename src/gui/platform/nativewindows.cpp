#include "nativewindows.h"

#include <QGuiApplication>

#ifdef _WIN32
#include "platform/win32nativewindows.h"
#else
#include "platform/x11nativewindows.h"
#endif

std::unique_ptr<NativeWindows> NativeWindows::create()
{
#ifdef _WIN32
    if (!qGuiApp || QGuiApplication::platformName() != QLatin1String("windows"))
        return nullptr;
    return std::make_unique<Win32NativeWindows>();
#else
    return X11NativeWindows::open();
#endif
}
