#ifndef VL_SOAK_LOADEDLIBRARY_H
#define VL_SOAK_LOADEDLIBRARY_H

#include <string>

// A shared object loaded with dlopen for the life of the object, the way
// the dialog loads the companion modules: by file name.
class LoadedLibrary
{
public:
    explicit LoadedLibrary(const std::string& path);
    ~LoadedLibrary();
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    bool isLoaded() const { return handle != nullptr; }
    const std::string& error() const { return errorText; }

    // The entry point called name, or null.
    template<typename Function>
    Function resolve(const char* name) const
    {
        return reinterpret_cast<Function>(symbol(name));
    }

private:
    void* symbol(const char* name) const;

    void* handle = nullptr;
    std::string errorText;
};

#endif
