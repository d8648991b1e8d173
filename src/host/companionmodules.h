#ifndef VL_HOST_COMPANIONMODULES_H
#define VL_HOST_COMPANIONMODULES_H

#include "sharedlibrary.h"

#include <map>
#include <memory>
#include <string>
#include <vector>
#include <veltrano/mpa_dialog.h>
#include <veltrano/mpa_modules.h>

namespace vl::host {

// The dialog library and the companion modules in its directory, each
// loaded on first use and kept until this object goes. The modules are the
// files the library itself loads, found the way it finds them: beside it.
//
// Every getter returns null when the library, module or entry point is
// missing; errorString() then says which and why.
class CompanionModules
{
public:
    // libraryPath empty: libvl_gui_mpa.so beside the program, else through
    // the program's run path.
    explicit CompanionModules(std::string libraryPath);

    ShowMPAEncoderPagesFunc dialog();
    MPAConfigFileFunc configFunction(int32_t id);
    MpegOutAudioDefaultsFunc encoderDefaults();
    MpegOutAudioChkSettingsFunc encoderCheck();
    MpegInInfoInitFunc importInit();
    MpegInGetInfoFunc importGetInfo();
    LocalizeSetLanguageFunc localizeSetLanguage();
    LocalizeConvertStrFunc localizeConvertStr();

    // The directory the modules are loaded from; empty when no dialog
    // library was found.
    std::string moduleDirectory();
    const std::string& errorString() const { return error; }

private:
    SharedLibrary* dialogLibrary();
    // The first of the file names that loads; the encoder and import modules
    // have two names.
    SharedLibrary* module(const std::vector<std::string>& fileNames);

    template<typename Function>
    Function entry(SharedLibrary* library, const std::string& file, const char* name);

    std::string libraryPath;
    std::unique_ptr<SharedLibrary> library;
    std::map<std::string, std::unique_ptr<SharedLibrary>> modules;
    std::string error;
};

} // namespace vl::host

#endif
