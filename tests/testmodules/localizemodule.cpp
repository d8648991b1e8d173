// Test localisation module: records the language it is given.

#include "testcontrol.h"

#include <veltrano/mpa_modules.h>

using namespace TestControl;

namespace {
void anchor() { }

const void* self()
{
    return reinterpret_cast<const void*>(&anchor);
}
} // namespace

extern "C" {
VL_EXPORT int32_t localizeSetLanguage(uint16_t language)
{
    logCall(self(), "gui_mpa_localize", "setLanguage " + std::to_string(language));
    return 0;
}

VL_EXPORT const char* localizeConvertStr(const char* text)
{
    return text;
}
}
