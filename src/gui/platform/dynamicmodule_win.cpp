#include "dynamicmodule.h"

#include <cstring>
#include <windows.h>

const char* const DynamicModule::defaultExtension = "dll";

namespace {
// Converts an ANSI string into a buffer of FileNameCapacity units; false
// when it does not fit or cannot be converted.
bool toWide(const char* text, wchar_t* buffer)
{
    return MultiByteToWideChar(CP_ACP, 0, text, -1, buffer, static_cast<int>(DynamicModule::FileNameCapacity)) > 0;
}

void systemErrorText(DWORD code, char* buffer, DWORD size)
{
    // Text from the system, inserts ignored, in the user's default language.
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
            MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, size, nullptr)
        == 0)
        buffer[0] = '\0';
}
} // namespace

int DynamicModule::load(const char* name, const char* extension)
{
    reset();
    wchar_t wideName[FileNameCapacity] = {};
    wchar_t wideExtension[FileNameCapacity] = {};
    if (!name || !toWide(name, wideName) || (extension && !toWide(extension, wideExtension))) {
        lastError = GetLastError();
        systemErrorText(lastError, errorText.data(), static_cast<DWORD>(errorText.size()));
        return 0;
    }
    if (!extension)
        toWide(defaultExtension, wideExtension);

    const std::size_t nameLength = wcslen(wideName);
    const std::size_t extensionLength = wcslen(wideExtension);
    if (nameLength + 1 + extensionLength + 1 > fileName.size()) {
        setError(ERROR_FILENAME_EXCED_RANGE, nullptr);
        systemErrorText(lastError, errorText.data(), static_cast<DWORD>(errorText.size()));
        return 0;
    }
    wmemcpy(fileName.data(), wideName, nameLength);
    fileName[nameLength] = L'.';
    wmemcpy(fileName.data() + nameLength + 1, wideExtension, extensionLength + 1);

    HMODULE const library = LoadLibraryW(fileName.data());
    if (!library) {
        fileName.fill(0);
        lastError = GetLastError();
        systemErrorText(lastError, errorText.data(), static_cast<DWORD>(errorText.size()));
        return 0;
    }
    handle = library;
    loaded = 1;
    return 1;
}

void* DynamicModule::resolve(const char* symbol)
{
    if (!handle || !symbol) {
        setError(ERROR_INVALID_HANDLE, nullptr);
        systemErrorText(lastError, errorText.data(), static_cast<DWORD>(errorText.size()));
        return nullptr;
    }
    FARPROC const address = GetProcAddress(static_cast<HMODULE>(handle), symbol);
    if (!address) {
        lastError = GetLastError();
        systemErrorText(lastError, errorText.data(), static_cast<DWORD>(errorText.size()));
        return nullptr;
    }
    return reinterpret_cast<void*>(address);
}

void DynamicModule::releaseHandle(void* library)
{
    FreeLibrary(static_cast<HMODULE>(library));
}
