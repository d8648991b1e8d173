// Test localisation module: records the language it is given.

#include "calllog.h"

#include <veltrano/mpa_modules.h>

extern "C" {
VL_EXPORT int32_t localizeSetLanguage(uint16_t language)
{
    logCall("setLanguage " + std::to_string(language));
    return 0;
}

VL_EXPORT const char* localizeConvertStr(const char* text)
{
    return text;
}
}
