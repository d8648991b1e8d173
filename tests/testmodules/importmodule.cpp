// Test import module: only records that it was loaded and called.

#include "testcontrol.h"

#include <veltrano/mpa_modules.h>

using namespace TestControl;

namespace {
void anchor() { }

const void* self()
{
    return reinterpret_cast<const void*>(&anchor);
}

__attribute__((constructor)) void attach()
{
    logCall(self(), "vl_mfimport", "attach");
}

__attribute__((destructor)) void detach()
{
    logCall(self(), "vl_mfimport", "detach");
}
} // namespace

extern "C" {
VL_EXPORT int32_t mpegInInfoInit(MpegInInfo* info)
{
    logCall(self(), "vl_mfimport", "infoInit");
    if (info)
        *info = MpegInInfo { static_cast<uint32_t>(sizeof *info), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, {} };
    return 0;
}

VL_EXPORT int32_t mpegInGetInfo(MpegInInfo* /*info*/, const char* path)
{
    logCall(self(), "vl_mfimport", std::string("getInfo ") + (path ? path : "(null)"));
    return 1;
}
}
