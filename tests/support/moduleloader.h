// Loads a companion module by path, as the dialog does, and resolves its
// entry points; unloads it when it goes out of scope. Module file names end
// in VL_MODULE_SUFFIX (".so", ".dll" on Windows).
#ifndef VL_SUPPORT_MODULELOADER_H
#define VL_SUPPORT_MODULELOADER_H

#include <string>
#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

class ModuleLoader
{
public:
#ifdef _WIN32
    explicit ModuleLoader(const std::string& path)
        : handle(LoadLibraryA(path.c_str()))
        , errorText(handle ? "" : "LoadLibrary failed with error " + std::to_string(GetLastError()))
    {
    }
    ~ModuleLoader()
    {
        handle&& FreeLibrary(handle);
    }
    // Whether the module at path is in the process, without loading it.
    static bool isInProcess(const std::string& path)
    {
        return GetModuleHandleA(path.substr(path.find_last_of("/\\") + 1).c_str()) != nullptr;
    }
    template<typename Function>
    Function resolve(const char* name) const
    {
        return handle ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(handle, name))) : nullptr;
    }

private:
    HMODULE handle;
#else
    explicit ModuleLoader(const std::string& path)
        : handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
        , errorText(handle ? "" : dlerror())
    {
    }
    ~ModuleLoader()
    {
        handle&& dlclose(handle);
    }
    static bool isInProcess(const std::string& path)
    {
        void* const loaded = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
        return loaded && dlclose(loaded) == 0;
    }
    template<typename Function>
    Function resolve(const char* name) const
    {
        return handle ? reinterpret_cast<Function>(dlsym(handle, name)) : nullptr;
    }

private:
    void* handle;
#endif
    std::string errorText;

public:
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;
    const std::string& error() const
    {
        return errorText;
    }
};

#endif
