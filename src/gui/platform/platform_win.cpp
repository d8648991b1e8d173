#include "platform.h"

#include <windows.h>

namespace Platform {

uint16_t userDefaultLanguageId()
{
    return static_cast<uint16_t>(GetUserDefaultLangID());
}

bool hostWindowRect(uint64_t windowHandle, WindowRect* rect)
{
    RECT bounds;
    if (!windowHandle || !rect || !GetWindowRect(reinterpret_cast<HWND>(windowHandle), &bounds))
        return false;
    rect->left = bounds.left;
    rect->top = bounds.top;
    rect->right = bounds.right;
    rect->bottom = bounds.bottom;
    return true;
}

} // namespace Platform
