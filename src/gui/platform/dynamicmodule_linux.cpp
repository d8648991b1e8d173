#include "dynamicmodule.h"

#include <cerrno>
#include <cstring>
#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>
#include <string>
#include <unistd.h>

const char* const DynamicModule::defaultExtension = "so";

namespace {
// Directory, with a trailing slash, of the object this code is linked into
// (the dialog library); empty when it cannot be told.
std::string ownDirectory()
{
    Dl_info info {};
    if (!dladdr(reinterpret_cast<const void*>(&ownDirectory), &info) || !info.dli_fname)
        return {};
    char resolved[PATH_MAX];
    const char* path = info.dli_fname;
    // The main program may be reported by a relative name or none at all.
    if (path[0] != '/') {
        const char* const source = path[0] != '\0' ? path : "/proc/self/exe";
        if (!realpath(source, resolved))
            return {};
        path = resolved;
    }
    std::string directory(path);
    directory.erase(directory.rfind('/') + 1);
    return directory;
}

// A bare file name is looked up beside the dialog library first, then by the
// loader's normal search. The explicit first step does not depend on the
// loader attributing the call to this library (interposed loaders, such as
// a sanitizer's, would otherwise hide the library's own run path).
void* openModule(const char* fileName)
{
    constexpr int flags = RTLD_NOW | RTLD_LOCAL;
    if (!std::strchr(fileName, '/')) {
        const std::string directory = ownDirectory();
        const std::string beside = directory + fileName;
        if (!directory.empty() && access(beside.c_str(), F_OK) == 0)
            return dlopen(beside.c_str(), flags);
    }
    return dlopen(fileName, flags);
}
} // namespace

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

    errno = 0;
    dlerror();
    void* const library = openModule(fileName.data());
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
