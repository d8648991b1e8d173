#include "dialogcall.h"

#include "commandline.h"

namespace vl::host {

int32_t showDialog(ShowMPAEncoderPagesFunc show, EncoderSettings& block, const CommandLine& line)
{
    // A title or banner travels in a parameter record (flag bit 29); else
    // the parameter is the parent window itself.
    uint32_t flags = line.dialogFlags();
    intptr_t param = static_cast<intptr_t>(line.parent);
    DialogParams record {};
    if (line.title || line.banner) {
        record.parent = line.parent;
        record.title = line.title ? line.title->c_str() : nullptr;
        record.banner = line.banner ? line.banner->c_str() : nullptr;
        flags |= VL_FLAG_PARAMS_RECORD;
        param = reinterpret_cast<intptr_t>(&record);
    }
    return show(&block, flags, param);
}

} // namespace vl::host
