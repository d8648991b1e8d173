#include "platform.h"
#include "win32windows.h"

#include <windows.h>

namespace Platform {

uint16_t userDefaultLanguageId()
{
    return static_cast<uint16_t>(GetUserDefaultLangID());
}

bool hostWindowRect(uint64_t windowHandle, WindowRect* rect)
{
    return Win32::windowRect(static_cast<uintptr_t>(windowHandle), rect);
}

} // namespace Platform
