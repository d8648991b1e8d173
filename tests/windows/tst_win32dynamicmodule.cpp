// DynamicModule on Windows, on the companion modules built beside this test:
// names get ".dll" appended, the loader's failures keep the system's code and
// text, and a released module leaves the process.
#include "platform/dynamicmodule.h"

#include <gtest/gtest.h>
#include <string>
#include <windows.h>

namespace {

void expectSystemError(const DynamicModule& module, DWORD code)
{
    char text[2048] = {};
    FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text, sizeof text, nullptr);
    EXPECT_EQ(module.lastError, code);
    EXPECT_NE(text[0], '\0');
    EXPECT_STREQ(module.errorText.data(), text);
}

TEST(DynamicModuleWin, LoadsByNameResolvesAndReleases)
{
    {
        DynamicModule module;
        ASSERT_EQ(module.load("vl_enc_mpa"), 1) << module.errorText.data();
        EXPECT_EQ(std::wstring(module.fileName.data()), L"vl_enc_mpa.dll");
        EXPECT_EQ(module.handle, GetModuleHandleW(L"vl_enc_mpa.dll"));
        EXPECT_NE(module.resolve("mpegOutAudioChkSettings"), nullptr);

        EXPECT_EQ(module.resolve("MPAConfigGetAPIExt"), nullptr);
        expectSystemError(module, ERROR_PROC_NOT_FOUND);

        EXPECT_EQ(module.unload(), 1);
        EXPECT_EQ(module.loaded, 0);
        EXPECT_EQ(GetModuleHandleW(L"vl_enc_mpa.dll"), nullptr);
        ASSERT_EQ(module.load("vl_mfimport", "dll"), 1);
    }
    // The destructor releases what a caller forgot to unload.
    EXPECT_EQ(GetModuleHandleW(L"vl_mfimport.dll"), nullptr);
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
    DynamicModule module;
    EXPECT_EQ(module.load(GetParam().name.c_str(), GetParam().extension), 0);
    EXPECT_EQ(module.handle, nullptr);
    EXPECT_EQ(module.fileName[0], L'\0');
    expectSystemError(module, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(Rows, DynamicModuleLoadFailure,
    testing::Values(LoadFailure { "MissingFile", "vl_no_such_module", nullptr, ERROR_MOD_NOT_FOUND },
        // ".dll" is appended even to a name that has it already.
        LoadFailure { "NameWithExtension", "vl_enc_mpa.dll", nullptr, ERROR_MOD_NOT_FOUND },
        LoadFailure { "OtherExtension", "vl_enc_mpa", "so", ERROR_MOD_NOT_FOUND },
        LoadFailure { "NameTooLong", std::string(DynamicModule::FileNameCapacity - 4, 'm'), nullptr,
            ERROR_FILENAME_EXCED_RANGE }),
    [](const testing::TestParamInfo<LoadFailure>& info) { return std::string(info.param.label); });

} // namespace
