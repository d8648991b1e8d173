// Loads a companion module by path, as the dialog does, and resolves its
// entry points; unloads it when it goes out of scope.
#ifndef VL_SUPPORT_MODULELOADER_H
#define VL_SUPPORT_MODULELOADER_H

#include <dlfcn.h>
#include <string>

class ModuleLoader
{
public:
    explicit ModuleLoader(const std::string& path)
        : handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
    {
        if (!handle) {
            const char* error = dlerror();
            errorText = error ? error : "dlopen failed";
        }
    }
    ~ModuleLoader()
    {
        if (handle)
            dlclose(handle);
    }
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    bool isLoaded() const { return handle != nullptr; }
    const std::string& error() const { return errorText; }

    template<typename Function>
    Function resolve(const char* name) const
    {
        return handle ? reinterpret_cast<Function>(dlsym(handle, name)) : nullptr;
    }

private:
    void* handle;
    std::string errorText;
};

#endif
