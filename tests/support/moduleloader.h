// A companion module loaded by path as the dialog loads it, unloaded when it goes;
// module file names end in VL_MODULE_SUFFIX (".so", ".dll").
#ifndef VL_SUPPORT_MODULELOADER_H
#define VL_SUPPORT_MODULELOADER_H

#include <string>
#ifdef _WIN32
#include <windows.h>

struct ModuleCalls
{
    static void* open(const std::string& path) { return LoadLibraryA(path.c_str()); }
    static std::string error() { return "LoadLibrary failed with error " + std::to_string(GetLastError()); }
    static void close(void* module) { FreeLibrary(HMODULE(module)); }
    static void* symbol(void* module, const char* name)
    {
        return reinterpret_cast<void*>(GetProcAddress(HMODULE(module), name));
    }
    static bool isLoaded(const std::string& path)
    {
        return GetModuleHandleA(path.substr(path.find_last_of("/\\") + 1).c_str()) != nullptr;
    }
};
#else
#include <dlfcn.h>

struct ModuleCalls
{
    static void* open(const std::string& path) { return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL); }
    static std::string error() { return dlerror(); }
    static void close(void* module) { dlclose(module); }
    static void* symbol(void* module, const char* name) { return dlsym(module, name); }
    static bool isLoaded(const std::string& path)
    {
        void* const loaded = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
        return loaded && dlclose(loaded) == 0;
    }
};
#endif

class ModuleLoader
{
public:
    explicit ModuleLoader(const std::string& path)
        : handle(ModuleCalls::open(path))
        , errorText(handle ? "" : ModuleCalls::error())
    {
    }
    ~ModuleLoader()
    {
        if (handle)
            ModuleCalls::close(handle);
    }
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    // Whether the module at path is in the process, without loading it.
    static bool isInProcess(const std::string& path) { return ModuleCalls::isLoaded(path); }
    template<typename Function>
    Function resolve(const char* name) const
    {
        return handle ? reinterpret_cast<Function>(ModuleCalls::symbol(handle, name)) : nullptr;
    }
    const std::string& error() const { return errorText; }

private:
    void* handle;
    std::string errorText;
};

#endif
