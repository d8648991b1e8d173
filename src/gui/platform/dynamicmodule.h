#ifndef VL_PLATFORM_DYNAMICMODULE_H
#define VL_PLATFORM_DYNAMICMODULE_H

#include <array>
#include <cstddef>
#include <cstdint>

// Record of one companion module loaded by file name through the platform's
// own loader (dlopen on Linux, LoadLibraryW on Windows). The loader's
// failures are kept in lastError and errorText; nothing is reported to the
// user, the caller decides what a failure means.
//
// Invariant: loaded is 1 exactly when handle holds a library that this record
// must release.
class DynamicModule
{
public:
#ifdef _WIN32
    using FileNameChar = wchar_t; // UTF-16 on Windows
#else
    using FileNameChar = char; // the file system's 8-bit names
#endif
    static constexpr std::size_t FileNameCapacity = 1024;
    static constexpr std::size_t ErrorTextCapacity = 2048;
    // Extension appended when the caller gives none.
    static const char* const defaultExtension;

    DynamicModule();
    // Releases a library that is still loaded, so a forgotten unload leaks
    // nothing.
    ~DynamicModule();
    DynamicModule(const DynamicModule&) = delete;
    DynamicModule& operator=(const DynamicModule&) = delete;

    // Forgets everything: no handle, not loaded, empty name and error. The
    // library itself is not released. Returns 1.
    int reset();
    // Loads "<name>.<extension>" (default extension when null). Returns 1 on
    // success; 0 with fileName empty and the error recorded on failure.
    int load(const char* name, const char* extension = nullptr);
    // Address of an exported symbol, or null with the error recorded.
    void* resolve(const char* symbol);
    // Releases the library if this record loaded it. Returns 1.
    int unload();
    // The same resetting as reset(), before the record is deleted.
    void clear();

    void* handle = nullptr;
    int32_t loaded = 0;
    std::array<FileNameChar, FileNameCapacity> fileName {};
    uint32_t lastError = 0;
    std::array<char, ErrorTextCapacity> errorText {};

private:
    void setError(uint32_t code, const char* text);
    static void releaseHandle(void* handle);
};

#endif
