// Loads a companion module by path, as the dialog does, and resolves its
// entry points; unloads it when it goes out of scope.
#ifndef VL_TESTS_MODULELOADER_H
#define VL_TESTS_MODULELOADER_H

#include <dlfcn.h>
#include <string>

class ModuleLoader
{
public:
    explicit ModuleLoader(const std::string& path)
        : m_handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
    {
        if (!m_handle) {
            const char* error = dlerror();
            m_error = error ? error : "dlopen failed";
        }
    }
    ~ModuleLoader()
    {
        if (m_handle)
            dlclose(m_handle);
    }
    ModuleLoader(const ModuleLoader&) = delete;
    ModuleLoader& operator=(const ModuleLoader&) = delete;

    bool isLoaded() const { return m_handle != nullptr; }
    const std::string& error() const { return m_error; }

    template<typename Function>
    Function resolve(const char* name) const
    {
        return m_handle ? reinterpret_cast<Function>(dlsym(m_handle, name)) : nullptr;
    }

private:
    void* m_handle;
    std::string m_error;
};

#endif
