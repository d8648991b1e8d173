#include "localizationmodule.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <string>
#endif

namespace vl::encoder {

#ifdef _WIN32

LocalizationModule::LocalizationModule()
{
    // Finds a loaded module by its file name, wherever it was loaded from,
    // and takes no reference, so nothing is released again.
    if (const HMODULE module = GetModuleHandleW(L"gui_mpa_localize.dll"))
        convert = reinterpret_cast<LocalizeConvertStrFunc>(
            reinterpret_cast<void*>(GetProcAddress(module, "localizeConvertStr")));
}

LocalizationModule::~LocalizationModule() = default;

#else

namespace {

constexpr char moduleFileName[] = "gui_mpa_localize.so";

// Stops at the first loaded object whose file name is the module's.
int findModule(dl_phdr_info* info, size_t, void* data)
{
    const char* const path = info->dlpi_name;
    if (!path || !*path)
        return 0;
    const char* const slash = std::strrchr(path, '/');
    if (std::strcmp(slash ? slash + 1 : path, moduleFileName) != 0)
        return 0;
    *static_cast<std::string*>(data) = path;
    return 1;
}

} // namespace

LocalizationModule::LocalizationModule()
{
    // The dialog loads the module by its full path, which a bare file name
    // does not match; the loaded objects' own paths do. RTLD_NOLOAD only
    // takes a reference to what is loaded already.
    std::string path;
    if (dl_iterate_phdr(&findModule, &path) == 0)
        return;
    handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle)
        convert = reinterpret_cast<LocalizeConvertStrFunc>(dlsym(handle, "localizeConvertStr"));
}

LocalizationModule::~LocalizationModule()
{
    if (handle)
        dlclose(handle);
}

#endif

} // namespace vl::encoder
