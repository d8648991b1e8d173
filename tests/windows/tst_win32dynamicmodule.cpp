// DynamicModule on Windows, on the companion modules built beside this test:
// names get ".dll" appended, the loader's failures keep the system's code and
// text, and a released module leaves the process.
#include "platform/dynamicmodule.h"

#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace {

std::wstring fileNameOf(const DynamicModule& module)
{
    return module.fileName.data();
}

bool isInProcess(const wchar_t* fileName)
{
    return GetModuleHandleW(fileName) != nullptr;
}

// The system's own text for code, as the record must keep it.
std::string systemText(DWORD code)
{
    char text[2048] = {};
    FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text, nullptr);
    return text;
}

void expectSystemError(const DynamicModule& module, DWORD code)
{
    EXPECT_EQ(module.lastError, code);
    EXPECT_FALSE(systemText(code).empty());
    EXPECT_EQ(std::string(module.errorText.data()), systemText(code));
}

TEST(DynamicModuleWin, LoadsByNameWithDllAppendedAndReleases)
{
    {
        DynamicModule module;
        ASSERT_EQ(module.load("vl_enc_mpa"), 1) << module.errorText.data();
        EXPECT_EQ(fileNameOf(module), L"vl_enc_mpa.dll");
        EXPECT_EQ(module.loaded, 1);
        EXPECT_EQ(module.handle, GetModuleHandleW(L"vl_enc_mpa.dll"));
        EXPECT_NE(module.resolve("mpegOutAudioDefaults"), nullptr);
        EXPECT_NE(module.resolve("mpegOutAudioChkSettings"), nullptr);
        EXPECT_EQ(module.lastError, 0u);

        EXPECT_EQ(module.unload(), 1);
        EXPECT_EQ(module.loaded, 0);
        EXPECT_EQ(module.handle, nullptr);
        EXPECT_FALSE(isInProcess(L"vl_enc_mpa.dll"));
        EXPECT_EQ(module.unload(), 1); // twice is harmless

        ASSERT_EQ(module.load("vl_mfimport", "dll"), 1);
        EXPECT_EQ(fileNameOf(module), L"vl_mfimport.dll");
    }
    // The destructor releases what a caller forgot to unload.
    EXPECT_FALSE(isInProcess(L"vl_mfimport.dll"));
}

TEST(DynamicModuleWin, ResetForgetsWithoutReleasing)
{
    DynamicModule module;
    ASSERT_EQ(module.load("gui_mpa_localize"), 1);
    void* const library = module.handle;
    EXPECT_EQ(module.reset(), 1);
    EXPECT_EQ(module.handle, nullptr);
    EXPECT_EQ(module.loaded, 0);
    EXPECT_EQ(fileNameOf(module), L"");
    EXPECT_TRUE(isInProcess(L"gui_mpa_localize.dll"));
    FreeLibrary(static_cast<HMODULE>(library));
    EXPECT_FALSE(isInProcess(L"gui_mpa_localize.dll"));
}

struct LoadFailure
{
    const char* label;
    std::string name;
    const char* extension;
    DWORD error;
};

class DynamicModuleLoadFailure : public testing::TestWithParam<LoadFailure>
{
};

// A failed load leaves no file name and keeps the system's code and text.
TEST_P(DynamicModuleLoadFailure, KeepsTheSystemsCodeAndText)
{
    const LoadFailure& row = GetParam();
    DynamicModule module;
    EXPECT_EQ(module.load(row.name.c_str(), row.extension), 0);
    EXPECT_EQ(module.loaded, 0);
    EXPECT_EQ(module.handle, nullptr);
    EXPECT_EQ(fileNameOf(module), L"");
    expectSystemError(module, row.error);
}

INSTANTIATE_TEST_SUITE_P(Rows, DynamicModuleLoadFailure,
    testing::Values(LoadFailure { "MissingFile", "vl_no_such_module", nullptr, ERROR_MOD_NOT_FOUND },
        // ".dll" is appended even to a name that has it already.
        LoadFailure { "NameWithExtension", "vl_enc_mpa.dll", nullptr, ERROR_MOD_NOT_FOUND },
        LoadFailure { "OtherExtension", "vl_enc_mpa", "so", ERROR_MOD_NOT_FOUND },
        LoadFailure { "NameTooLong", std::string(DynamicModule::FileNameCapacity - 4, 'm'), nullptr,
            ERROR_FILENAME_EXCED_RANGE }),
    [](const testing::TestParamInfo<LoadFailure>& info) { return std::string(info.param.label); });

TEST(DynamicModuleWin, MissingSymbolKeepsTheSystemsCodeAndText)
{
    DynamicModule module;
    ASSERT_EQ(module.load("vl_config_mpa"), 1);
    EXPECT_EQ(module.resolve("mpegOutAudioDefaults"), nullptr);
    expectSystemError(module, ERROR_PROC_NOT_FOUND);
    EXPECT_EQ(module.loaded, 1); // the module itself stays usable
    EXPECT_NE(module.resolve("MPAConfigGetAPIExt"), nullptr);

    DynamicModule empty;
    EXPECT_EQ(empty.resolve("MPAConfigGetAPIExt"), nullptr);
    expectSystemError(empty, ERROR_INVALID_HANDLE);
}

} // namespace
