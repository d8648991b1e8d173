#ifndef VL_HOST_SHAREDLIBRARY_H
#define VL_HOST_SHAREDLIBRARY_H

#include <string>

namespace vl::host {

// A shared object opened with dlopen (now, local symbols) and closed when
// this object goes.
class SharedLibrary
{
public:
    // A path with a slash is opened as it is; a bare file name through the
    // program's run path.
    explicit SharedLibrary(const std::string& path);
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool isLoaded() const { return handle != nullptr; }
    // dlerror()'s text when the library or the last symbol was not found.
    const std::string& errorString() const { return error; }
    // The directory the object was loaded from, without a trailing slash.
    std::string directory() const;

    template<typename Function>
    Function function(const char* name)
    {
        return reinterpret_cast<Function>(symbol(name));
    }

private:
    void* symbol(const char* name);

    void* handle = nullptr;
    std::string error;
};

} // namespace vl::host

#endif
