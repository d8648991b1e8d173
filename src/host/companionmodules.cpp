#include "companionmodules.h"

#include <unistd.h>

namespace vl::host {

namespace {

constexpr const char* libraryName = "libvl_gui_mpa.so";

std::string programDirectory()
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return std::string();
    const std::string program(path, static_cast<std::size_t>(length));
    return program.substr(0, program.rfind('/'));
}

std::string directoryPart(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

CompanionModules::CompanionModules(std::string libraryPath)
    : libraryPath(std::move(libraryPath))
{
}

SharedLibrary* CompanionModules::dialogLibrary()
{
    if (!library) {
        if (!libraryPath.empty()) {
            library = std::make_unique<SharedLibrary>(libraryPath);
        } else {
            const std::string beside = programDirectory() + "/" + libraryName;
            library = std::make_unique<SharedLibrary>(access(beside.c_str(), F_OK) == 0 ? beside : libraryName);
        }
    }
    if (!library->isLoaded()) {
        error = "cannot load the dialog library: " + library->errorString();
        return nullptr;
    }
    return library.get();
}

std::string CompanionModules::moduleDirectory()
{
    if (libraryPath.find('/') != std::string::npos)
        return directoryPart(libraryPath);
    const std::string beside = programDirectory();
    if (libraryPath.empty() && access((beside + "/" + libraryName).c_str(), F_OK) == 0)
        return beside;
    // Found through the run path (installed): ask the library where it is.
    SharedLibrary* const found = dialogLibrary();
    return found ? found->directory() : std::string();
}

SharedLibrary* CompanionModules::module(const std::vector<std::string>& fileNames)
{
    const std::string directory = moduleDirectory();
    if (directory.empty())
        return nullptr;
    std::string reasons;
    for (const std::string& name : fileNames) {
        auto& slot = modules[name];
        if (!slot)
            slot = std::make_unique<SharedLibrary>(directory + "/" + name);
        if (slot->isLoaded())
            return slot.get();
        reasons += (reasons.empty() ? "" : "; ") + slot->errorString();
    }
    error = "cannot load " + fileNames.front() + ": " + reasons;
    return nullptr;
}

template<typename Function>
Function CompanionModules::entry(SharedLibrary* module, const std::string& file, const char* name)
{
    if (!module)
        return nullptr;
    const Function function = module->function<Function>(name);
    if (!function)
        error = file + " lacks " + name + ": " + module->errorString();
    return function;
}

ShowMPAEncoderPagesFunc CompanionModules::dialog()
{
    return entry<ShowMPAEncoderPagesFunc>(dialogLibrary(), libraryName, "showMPAEncoderPages");
}

MPAConfigFileFunc CompanionModules::configFunction(int32_t id)
{
    const auto getApi
        = entry<MPAConfigGetAPIExtFunc>(module({ "vl_config_mpa.so" }), "vl_config_mpa.so", "MPAConfigGetAPIExt");
    if (!getApi)
        return nullptr;
    const MPAConfigFileFunc function = getApi(id);
    if (!function)
        error = "vl_config_mpa.so offers no function " + std::to_string(id);
    return function;
}

MpegOutAudioDefaultsFunc CompanionModules::encoderDefaults()
{
    return entry<MpegOutAudioDefaultsFunc>(
        module({ "vl_enc_mpa.so", "vl_mpgaout.so" }), "the encoder module", "mpegOutAudioDefaults");
}

MpegOutAudioChkSettingsFunc CompanionModules::encoderCheck()
{
    return entry<MpegOutAudioChkSettingsFunc>(
        module({ "vl_enc_mpa.so", "vl_mpgaout.so" }), "the encoder module", "mpegOutAudioChkSettings");
}

MpegInInfoInitFunc CompanionModules::importInit()
{
    return entry<MpegInInfoInitFunc>(
        module({ "vl_mfimport.so", "vl_mpegin.so" }), "the import module", "mpegInInfoInit");
}

MpegInGetInfoFunc CompanionModules::importGetInfo()
{
    return entry<MpegInGetInfoFunc>(module({ "vl_mfimport.so", "vl_mpegin.so" }), "the import module", "mpegInGetInfo");
}

LocalizeSetLanguageFunc CompanionModules::localizeSetLanguage()
{
    return entry<LocalizeSetLanguageFunc>(
        module({ "gui_mpa_localize.so" }), "gui_mpa_localize.so", "localizeSetLanguage");
}

LocalizeConvertStrFunc CompanionModules::localizeConvertStr()
{
    return entry<LocalizeConvertStrFunc>(
        module({ "gui_mpa_localize.so" }), "gui_mpa_localize.so", "localizeConvertStr");
}

} // namespace vl::host
