// Test settings-file module: hands out load and save functions that change
// nothing. With VL_TM_WITHOUT_ENTRY the module lacks MPAConfigGetAPIExt.

#include "calllog.h"

#include <veltrano/mpa_modules.h>

namespace {
VL_TM_LOG_LIFETIME

[[maybe_unused]] int32_t loadOrSave(EncoderSettings* /*settings*/, const char* path)
{
    logCall(std::string("file ") + (path ? path : "(null)"));
    return 0;
}
} // namespace

#ifndef VL_TM_WITHOUT_ENTRY
extern "C" VL_EXPORT MPAConfigFileFunc MPAConfigGetAPIExt(int32_t id)
{
    logCall("getapi " + std::to_string(id));
    return id == VL_CONFIG_API_LOAD || id == VL_CONFIG_API_SAVE ? &loadOrSave : nullptr;
}
#else
// Something else is exported, so only the entry point is missing.
extern "C" VL_EXPORT int32_t MPAConfigVersion()
{
    return 1;
}
#endif
