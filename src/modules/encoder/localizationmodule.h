/*
 * The localisation module gui_mpa_localize as the encoder module finds it:
 * only when the process has loaded it already (the dialog loads it beside its
 * translation file), never as a second copy of its own.
 */
#ifndef VL_ENCODER_LOCALIZATIONMODULE_H
#define VL_ENCODER_LOCALIZATIONMODULE_H

#include <veltrano/mpa_modules.h>

namespace vl::encoder {

class LocalizationModule
{
public:
    // Looks the module up among the libraries loaded in the process and
    // keeps it loaded while this object lives.
    LocalizationModule();
    ~LocalizationModule();
    LocalizationModule(const LocalizationModule&) = delete;
    LocalizationModule& operator=(const LocalizationModule&) = delete;

    // The module's localizeConvertStr, or null when it is not loaded.
    LocalizeConvertStrFunc convertFunction() const { return convert; }

private:
    void* handle = nullptr;
    LocalizeConvertStrFunc convert = nullptr;
};

} // namespace vl::encoder

#endif
