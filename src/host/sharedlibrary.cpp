#include "sharedlibrary.h"

#include <dlfcn.h>
#include <link.h>

namespace vl::host {

SharedLibrary::SharedLibrary(const std::string& path)
    : handle(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
{
    if (!handle) {
        const char* const text = dlerror();
        error = text ? text : "cannot load " + path;
    }
}

SharedLibrary::~SharedLibrary()
{
    if (handle)
        dlclose(handle);
}

std::string SharedLibrary::directory() const
{
    char origin[4096] = {};
    if (!handle || dlinfo(handle, RTLD_DI_ORIGIN, origin) != 0)
        return std::string();
    return origin;
}

void* SharedLibrary::symbol(const char* name)
{
    if (!handle)
        return nullptr;
    void* const address = dlsym(handle, name);
    if (!address) {
        const char* const text = dlerror();
        error = text ? text : std::string("no symbol ") + name;
    }
    return address;
}

} // namespace vl::host
