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
    explicit ModuleLoader(const std::string& path)
        : handle(open(path))
    {
        if (!handle)
            errorText = lastError();
    }
    ~ModuleLoader()
    {
        if (handle)
            close(handle);
    }
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    bool isLoaded() const { return handle != nullptr; }
    // Whether the module at path is in the process, without loading it.
    static bool isInProcess(const std::string& path);
    const std::string& error() const { return errorText; }

    template<typename Function>
    Function resolve(const char* name) const
    {
        return handle ? reinterpret_cast<Function>(symbol(handle, name)) : nullptr;
    }

private:
#ifdef _WIN32
    static void* open(const std::string& path)
    {
        return LoadLibraryA(path.c_str());
    }
    static void close(void* module)
    {
        FreeLibrary(static_cast<HMODULE>(module));
    }
    static void* symbol(void* module, const char* name)
    {
        return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
    }
    static std::string lastError()
    {
        return "LoadLibrary failed with error " + std::to_string(GetLastError());
    }
#else
    static void* open(const std::string& path)
    {
        return dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    }
    static void close(void* module)
    {
        dlclose(module);
    }
    static void* symbol(void* module, const char* name)
    {
        return dlsym(module, name);
    }
    static std::string lastError()
    {
        const char* error = dlerror();
        return error ? error : "dlopen failed";
    }
#endif

    void* handle;
    std::string errorText;
};

#ifdef _WIN32
inline bool ModuleLoader::isInProcess(const std::string& path)
{
    return GetModuleHandleA(path.substr(path.find_last_of("/\\") + 1).c_str()) != nullptr;
}
#else
inline bool ModuleLoader::isInProcess(const std::string& path)
{
    void* const loaded = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (loaded)
        dlclose(loaded);
    return loaded != nullptr;
}
#endif

#endif
