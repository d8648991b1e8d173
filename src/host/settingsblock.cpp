#include "settingsblock.h"

#include "commandline.h"
#include "companionmodules.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace vl::host {

bool defaultBlock(CompanionModules& modules, const CommandLine& line, EncoderSettings& block, std::string& error)
{
    const MpegOutAudioDefaultsFunc defaults = modules.encoderDefaults();
    if (!defaults) {
        error = modules.errorString();
        return false;
    }
    std::memset(&block, 0, sizeof block);
    block.audioType = line.audioType.value_or(VL_AUDIO_MPEG1);
    block.sampleFrequency = line.sampleFrequency.value_or(defaultSampleFrequency);
    defaults(&block, block.audioType);
    return true;
}

bool loadFile(CompanionModules& modules, const std::string& path, EncoderSettings& block, std::string& error)
{
    const MPAConfigFileFunc load = modules.configFunction(VL_CONFIG_API_LOAD);
    if (!load) {
        error = modules.errorString();
        return false;
    }
    struct stat status
    {
    };
    if (stat(path.c_str(), &status) != 0) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    if (load(&block, path.c_str()) != 0) {
        error = path
            + ": the settings-file module cannot load it (a value it does not know, a bitrate the layer and "
              "frequency lack, or no MPEG Layer I or II audio)";
        return false;
    }
    return true;
}

bool blockFromFile(CompanionModules& modules, const CommandLine& line, const std::string& path, EncoderSettings& block,
    std::string& error)
{
    if (!defaultBlock(modules, line, block, error) || !loadFile(modules, path, block, error))
        return false;
    applyOverrides(line, block);
    return true;
}

void applyOverrides(const CommandLine& line, EncoderSettings& block)
{
    if (line.audioType)
        block.audioType = *line.audioType;
    if (line.sampleFrequency)
        block.sampleFrequency = *line.sampleFrequency;
}

bool saveFile(CompanionModules& modules, const std::string& path, EncoderSettings& block, std::string& error)
{
    const MPAConfigFileFunc save = modules.configFunction(VL_CONFIG_API_SAVE);
    if (!save) {
        error = modules.errorString();
        return false;
    }
    if (save(&block, path.c_str()) != 0) {
        error = "cannot save " + path;
        return false;
    }
    return true;
}

std::vector<std::string> describeSettings(const EncoderSettings& settings)
{
    const std::pair<const char*, int32_t> fields[] = {
        { "mode", settings.mode },
        { "layer", settings.layer },
        { "psychModel", settings.psychModel },
        { "bitrateIndex", settings.bitrateIndex },
        { "emphasis", settings.emphasis },
        { "privateBit", settings.privateBit },
        { "errorProtection", settings.errorProtection },
        { "copyrightBit", settings.copyrightBit },
        { "originalBit", settings.originalBit },
        { "audioType", settings.audioType },
        { "sampleFrequency", settings.sampleFrequency },
    };
    std::vector<std::string> lines;
    for (const auto& entry : fields)
        lines.push_back(std::string(entry.first) + "=" + std::to_string(entry.second));
    return lines;
}

} // namespace vl::host
