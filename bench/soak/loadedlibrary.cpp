#include "loadedlibrary.h"

#include <dlfcn.h>

LoadedLibrary::LoadedLibrary(const std::string& path)
    : handle(::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
{
    if (!handle) {
        const char* const text = ::dlerror();
        errorText = text ? text : "cannot load " + path;
    }
}

LoadedLibrary::~LoadedLibrary()
{
    if (handle) {
        ::dlclose(handle);
    }
}

void* LoadedLibrary::symbol(const char* name) const
{
    return handle ? ::dlsym(handle, name) : nullptr;
}
