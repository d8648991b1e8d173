#include "dynamicmodule.h"

#include <cwchar>
#include <string>
#include <windows.h>

const char* const DynamicModule::defaultExtension = "dll";

namespace {
// Converts a string in the ANSI code page into a buffer of FileNameCapacity
// units; false, with the system's error set, when it does not fit or cannot
// be converted.
bool toWide(const char* text, wchar_t* buffer)
{
    return MultiByteToWideChar(CP_ACP, 0, text, -1, buffer, static_cast<int>(DynamicModule::FileNameCapacity)) > 0;
}

// Keeps code and the system's text for it, in the user's default language.
void recordError(DynamicModule& module, DWORD code)
{
    module.lastError = code;
    module.errorText.fill(0);
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), module.errorText.data(),
        static_cast<DWORD>(module.errorText.size() - 1), nullptr);
}

// Directory, with its trailing separator, of the file (DLL or program) this
// code is linked into; empty when it cannot be told.
std::wstring ownDirectory()
{
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&ownDirectory), &self))
        return {};
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    path.erase(path.find_last_of(L"\\/") + 1);
    return path;
}

// A bare file name is looked up beside the dialog library first, where the
// companion modules are installed, then by the loader's normal search, which
// starts in the host program's directory. A module found beside the library
// resolves its own dependencies from there too.
HMODULE openModule(const wchar_t* fileName)
{
    if (!std::wcspbrk(fileName, L"\\/:")) {
        const std::wstring directory = ownDirectory();
        const std::wstring beside = directory + fileName;
        if (!directory.empty() && GetFileAttributesW(beside.c_str()) != INVALID_FILE_ATTRIBUTES)
            return LoadLibraryExW(beside.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
    return LoadLibraryW(fileName);
}
} // namespace

int DynamicModule::load(const char* name, const char* extension)
{
    reset();
    if (!name) {
        recordError(*this, ERROR_INVALID_PARAMETER);
        return 0;
    }
    wchar_t wideName[FileNameCapacity];
    wchar_t wideExtension[FileNameCapacity];
    if (!toWide(name, wideName) || !toWide(extension ? extension : defaultExtension, wideExtension)) {
        recordError(*this, GetLastError());
        return 0;
    }
    // name, ".", extension and the terminating zero must fit.
    const std::size_t nameLength = std::wcslen(wideName);
    const std::size_t extensionLength = std::wcslen(wideExtension);
    if (nameLength + 1 + extensionLength + 1 > fileName.size()) {
        recordError(*this, ERROR_FILENAME_EXCED_RANGE);
        return 0;
    }
    std::wmemcpy(fileName.data(), wideName, nameLength);
    fileName[nameLength] = L'.';
    std::wmemcpy(fileName.data() + nameLength + 1, wideExtension, extensionLength + 1);

    const HMODULE library = openModule(fileName.data());
    if (!library) {
        const DWORD code = GetLastError();
        fileName.fill(0);
        recordError(*this, code);
        return 0;
    }
    handle = library;
    loaded = 1;
    return 1;
}

void* DynamicModule::resolve(const char* symbol)
{
    if (!handle || !symbol) {
        recordError(*this, handle ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return nullptr;
    }
    const FARPROC address = GetProcAddress(static_cast<HMODULE>(handle), symbol);
    if (!address) {
        recordError(*this, GetLastError());
        return nullptr;
    }
    return reinterpret_cast<void*>(address);
}

void DynamicModule::releaseHandle(void* library)
{
    FreeLibrary(static_cast<HMODULE>(library));
}
