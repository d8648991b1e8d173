#ifndef VL_HOST_SETTINGSCHECK_H
#define VL_HOST_SETTINGSCHECK_H

#include <cstdio>
#include <string>
#include <vector>
#include <veltrano/mpa_modules.h>

namespace vl::host {

enum class FindingLevel { Info, Warning, Error };

struct Finding
{
    FindingLevel level;
    std::string text;
};

struct CheckResult
{
    bool passed = false; // the check returned 0
    std::vector<Finding> findings; // in the order the check reported them
};

// "info", "warning" or "error".
const char* levelName(FindingLevel level);

// Prints "<level>: <text>" lines of the findings at or above the level.
void printFindings(std::FILE* stream, const CheckResult& result, FindingLevel lowest = FindingLevel::Info);

// Runs the encoder module's settings check and collects what it reports
// through its callback table. Silent reports are dropped, as the dialog
// does. With a conversion function (the localisation module's), each
// report's format is converted before it is formatted.
class SettingsCheck
{
public:
    SettingsCheck(MpegOutAudioChkSettingsFunc check, LocalizeConvertStrFunc convert = nullptr);

    // Checks the block for its own audio type and sampling frequency.
    CheckResult run(const EncoderSettings& settings) const;

private:
    MpegOutAudioChkSettingsFunc check;
    LocalizeConvertStrFunc convert;
};

} // namespace vl::host

#endif
