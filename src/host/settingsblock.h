/*
 * Settings blocks as the commands get them: from the encoder module's
 * defaults and from files through the settings-file module.
 */
#ifndef VL_HOST_SETTINGSBLOCK_H
#define VL_HOST_SETTINGSBLOCK_H

#include <string>
#include <vector>
#include <veltrano/mpa_settings.h>

namespace vl::host {

struct CommandLine;
class CompanionModules;

// Sampling frequency of a block when neither a file nor an option gives one.
constexpr int32_t defaultSampleFrequency = 48000;

// The encoder module's defaults for the audio type (--audio-type, else
// MPEG-1) at the sampling frequency of --sample-rate or the default.
bool defaultBlock(CompanionModules& modules, const CommandLine& line, EncoderSettings& block, std::string& error);

// Loads a settings file or an MPEG file over the block; on failure the block
// is as it was and error says why.
bool loadFile(CompanionModules& modules, const std::string& path, EncoderSettings& block, std::string& error);

// The defaults, then the file, then --audio-type and --sample-rate.
bool blockFromFile(CompanionModules& modules, const CommandLine& line, const std::string& path, EncoderSettings& block,
    std::string& error);

// Sets the audio type and the sampling frequency given on the command line.
void applyOverrides(const CommandLine& line, EncoderSettings& block);

// Saves the block to a settings file through the settings-file module.
bool saveFile(CompanionModules& modules, const std::string& path, EncoderSettings& block, std::string& error);

// "name=value" lines of the block's fields, in block order.
std::vector<std::string> describeSettings(const EncoderSettings& settings);

} // namespace vl::host

#endif
