// The entry points of vl_mfimport: describe the first MPEG-1/2 Layer I or II
// audio stream of a file. The reading is the probe library's; this module
// only maps its result onto the MpegInInfo record.
#include "mpeginfo.h"

extern "C" {

int32_t mpegInInfoInit(MpegInInfo* info)
{
    if (!info)
        return vl::import::invalidArgument;
    vl::import::resetInfo(*info);
    return 0;
}

int32_t mpegInGetInfo(MpegInInfo* info, const char* path)
{
    // A record that mpegInInfoInit did not prepare may be shorter than ours.
    if (!info || info->structSize != sizeof(MpegInInfo) || !path)
        return vl::import::invalidArgument;
    return vl::import::fillInfo(*info, vl::probe::probeFile(path));
}

} // extern "C"
