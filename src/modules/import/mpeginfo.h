/*
 * The MpegInInfo record of the import module: resetting it and filling it
 * from what the probe library found in a file.
 */
#ifndef VL_IMPORT_MPEGINFO_H
#define VL_IMPORT_MPEGINFO_H

#include "probe/mpegprobe.h"

#include <veltrano/mpa_modules.h>

namespace vl::import {

// Result codes of mpegInGetInfo besides 0: the probe's Status numbers (1 to
// 7), and this one for a null or uninitialised record or a null path.
inline constexpr int32_t invalidArgument = 100;

// Sets structSize, the container to unknown, every value field to -1
// ("not known") and the reserved words to 0.
void resetInfo(MpegInInfo& info);

// Fills the record from a probe result and returns 0 when the probe found a
// stream, else the probe's Status number. Fields the file did not reveal stay
// -1; the container is set in either case.
int32_t fillInfo(MpegInInfo& info, const vl::probe::ProbeResult& result);

} // namespace vl::import

#endif
