// check: the encoder module's verdict on a settings file, for scripts.
#include "commandline.h"
#include "commands.h"
#include "companionmodules.h"
#include "settingsblock.h"
#include "settingscheck.h"

namespace vl::host {

namespace {

// The localisation module's conversion for the language, or null for none.
bool translator(CompanionModules& modules, const CommandLine& line, LocalizeConvertStrFunc& convert, std::string& error)
{
    convert = nullptr;
    if (!line.language)
        return true;
    const LocalizeSetLanguageFunc setLanguage = modules.localizeSetLanguage();
    convert = setLanguage ? modules.localizeConvertStr() : nullptr;
    if (!convert) {
        error = modules.errorString();
        return false;
    }
    if (setLanguage(*line.language) != 0) {
        error = "gui_mpa_localize.so has no language " + std::to_string(*line.language);
        return false;
    }
    return true;
}

} // namespace

int runCheck(const CommandLine& line, CompanionModules& modules)
{
    EncoderSettings block;
    std::string error;
    if (!blockFromFile(modules, line, line.files.front(), block, error))
        return fail(error);
    const MpegOutAudioChkSettingsFunc check = modules.encoderCheck();
    if (!check)
        return fail(modules.errorString());
    LocalizeConvertStrFunc convert = nullptr;
    if (!translator(modules, line, convert, error))
        return fail(error);
    const CheckResult result = SettingsCheck(check, convert).run(block);
    printFindings(stdout, result);
    return result.passed ? exitSuccess : exitDeclined;
}

} // namespace vl::host
