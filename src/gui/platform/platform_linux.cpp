#include "platform.h"
#include "platform/nativewindows.h"

#include <QByteArray>
#include <QLocale>
#include <cstdlib>

namespace Platform {

uint16_t userDefaultLanguageId()
{
    // The order in which the C library chooses the locale of messages.
    for (const char* variable : { "LC_ALL", "LC_MESSAGES", "LANG" }) {
        const char* const value = std::getenv(variable);
        if (value && *value)
            return languageIdFromLocaleName(value);
    }
    return languageIdFromLocaleName(QLocale::system().name().toLatin1().constData());
}

bool hostWindowRect(uint64_t windowHandle, WindowRect* rect)
{
    const std::unique_ptr<NativeWindows> windows = NativeWindows::create();
    return windowHandle && rect && windows && windows->windowRect(static_cast<WId>(windowHandle), rect);
}

} // namespace Platform
