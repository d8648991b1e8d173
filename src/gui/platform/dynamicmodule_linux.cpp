#include "dynamicmodule.h"

#include <cerrno>
#include <cstring>
#include <dlfcn.h>

const char* const DynamicModule::defaultExtension = "so";

int DynamicModule::load(const char* name, const char* extension)
{
    reset();
    if (!name) {
        setError(EINVAL, std::strerror(EINVAL));
        return 0;
    }
    const char* const suffix = extension ? extension : defaultExtension;
    const std::size_t nameLength = std::strlen(name);
    const std::size_t suffixLength = std::strlen(suffix);
    // name, ".", extension and the terminating zero must fit.
    if (nameLength + 1 + suffixLength + 1 > fileName.size()) {
        setError(ENAMETOOLONG, std::strerror(ENAMETOOLONG));
        return 0;
    }
    std::memcpy(fileName.data(), name, nameLength);
    fileName[nameLength] = '.';
    std::memcpy(fileName.data() + nameLength + 1, suffix, suffixLength + 1);

    // A name without a directory is searched through this library's RUNPATH
    // ($ORIGIN) first, so the modules beside the library win over any others.
    errno = 0;
    dlerror();
    void* const library = dlopen(fileName.data(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const int code = errno;
        const char* const text = dlerror();
        fileName.fill(0);
        setError(code != 0 ? static_cast<uint32_t>(code) : 1u, text ? text : "the module could not be loaded");
        return 0;
    }
    handle = library;
    loaded = 1;
    return 1;
}

void* DynamicModule::resolve(const char* symbol)
{
    // dlsym with a null handle would search the whole process.
    if (!handle || !symbol) {
        setError(EINVAL, handle ? "no symbol name given" : "no module loaded");
        return nullptr;
    }
    dlerror();
    void* const address = dlsym(handle, symbol);
    if (!address) {
        const char* const text = dlerror();
        setError(1u, text ? text : "the symbol has a null address");
    }
    return address;
}

void DynamicModule::releaseHandle(void* library)
{
    dlclose(library);
}
