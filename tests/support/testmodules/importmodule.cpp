// Test import module: only records that it was loaded and called.

#include "testcontrol.h"

#include <veltrano/mpa_modules.h>

using TestControl::log;

VL_TM_LOG_LIFETIME

extern "C" {
VL_EXPORT int32_t mpegInInfoInit(MpegInInfo* info)
{
    log("infoInit");
    if (info)
        *info = MpegInInfo { static_cast<uint32_t>(sizeof *info), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, {} };
    return 0;
}

VL_EXPORT int32_t mpegInGetInfo(MpegInInfo* /*info*/, const char* path)
{
    log(std::string("getInfo ") + (path ? path : "(null)"));
    return 1;
}
}
