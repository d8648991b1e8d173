// Test import module: only records that it was loaded and called.

#include "calllog.h"

#include <veltrano/mpa_modules.h>

VL_TM_LOG_LIFETIME

extern "C" {
VL_EXPORT int32_t mpegInInfoInit(MpegInInfo* info)
{
    logCall("infoInit");
    if (info)
        *info = MpegInInfo { static_cast<uint32_t>(sizeof *info), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, {} };
    return 0;
}

VL_EXPORT int32_t mpegInGetInfo(MpegInInfo* /*info*/, const char* path)
{
    logCall(std::string("getInfo ") + (path ? path : "(null)"));
    return 1;
}
}
