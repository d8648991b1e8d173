#ifndef VL_HOST_DIALOGCALL_H
#define VL_HOST_DIALOGCALL_H

#include <veltrano/mpa_dialog.h>

namespace vl::host {

struct CommandLine;

// One call of the dialog on the block with the command line's flags,
// parent window, title and banner: the result code of showMPAEncoderPages.
int32_t showDialog(ShowMPAEncoderPagesFunc show, EncoderSettings& block, const CommandLine& line);

} // namespace vl::host

#endif
