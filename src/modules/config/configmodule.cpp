// Entry point of vl_config_mpa.so: hands out the load and save functions by id.
#include "configio.h"

#include <veltrano/mpa_modules.h>

namespace {

int32_t loadEntry(EncoderSettings* settings, const char* path)
{
    return vl::config::loadSettings(settings, path);
}

int32_t saveEntry(EncoderSettings* settings, const char* path)
{
    return vl::config::saveSettings(settings, path);
}

} // namespace

extern "C" MPAConfigFileFunc MPAConfigGetAPIExt(int32_t id)
{
    switch (id) {
    case VL_CONFIG_API_LOAD:
        return &loadEntry;
    case VL_CONFIG_API_SAVE:
        return &saveEntry;
    default:
        return nullptr;
    }
}
