#include "platform.h"

#include <windows.h>

namespace Platform {

uint16_t userDefaultLanguageId()
{
    return static_cast<uint16_t>(GetUserDefaultLangID());
}

} // namespace Platform
