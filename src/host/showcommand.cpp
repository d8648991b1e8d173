// show: the dialog on a block made from options; prints the result code and
// the block's fields whatever the outcome.
#include "commandline.h"
#include "commands.h"
#include "companionmodules.h"
#include "dialogcall.h"
#include "settingsblock.h"

#include <cstdio>

namespace vl::host {

int runShow(const CommandLine& line, CompanionModules& modules)
{
    const ShowMPAEncoderPagesFunc show = modules.dialog();
    if (!show)
        return fail(modules.errorString());
    EncoderSettings block = line.settings;
    const int32_t result = showDialog(show, block, line);
    std::printf("result=%d\n", result);
    for (const std::string& field : describeSettings(block))
        std::printf("%s\n", field.c_str());
    if (result == VL_DIALOG_ACCEPTED)
        return exitSuccess;
    if (result == VL_DIALOG_REJECTED)
        return exitDeclined;
    return fail("the dialog could not start (--verbose shows the library's messages)");
}

} // namespace vl::host
