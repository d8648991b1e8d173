#include "settingscheck.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace vl::host {

namespace {

struct Collector
{
    LocalizeConvertStrFunc convert;
    std::vector<Finding>* findings;
};

void collect(void* context, FindingLevel level, const char* format, va_list arguments)
{
    auto* const collector = static_cast<Collector*>(context);
    const char* const converted = collector->convert && format ? collector->convert(format) : format;
    if (!converted)
        return;
    char text[1024];
    std::vsnprintf(text, sizeof text, converted, arguments);
    collector->findings->push_back({ level, text });
}

void onError(void* context, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    collect(context, FindingLevel::Error, format, arguments);
    va_end(arguments);
}

void onWarning(void* context, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    collect(context, FindingLevel::Warning, format, arguments);
    va_end(arguments);
}

void onInfo(void* context, const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    collect(context, FindingLevel::Info, format, arguments);
    va_end(arguments);
}

void onSilent(void*, const char*, ...) { }

void* allocate(void*, size_t size)
{
    return std::malloc(size);
}

void release(void*, void* block)
{
    std::free(block);
}

} // namespace

const char* levelName(FindingLevel level)
{
    switch (level) {
    case FindingLevel::Info:
        return "info";
    case FindingLevel::Warning:
        return "warning";
    case FindingLevel::Error:
        break;
    }
    return "error";
}

void printFindings(std::FILE* stream, const CheckResult& result, FindingLevel lowest)
{
    for (const Finding& finding : result.findings) {
        if (finding.level >= lowest)
            std::fprintf(stream, "%s: %s\n", levelName(finding.level), finding.text.c_str());
    }
}

SettingsCheck::SettingsCheck(MpegOutAudioChkSettingsFunc check, LocalizeConvertStrFunc convert)
    : check(check)
    , convert(convert)
{
}

CheckResult SettingsCheck::run(const EncoderSettings& settings) const
{
    CheckResult result;
    Collector collector { convert, &result.findings };
    EncoderCallbacks callbacks {};
    callbacks.context = &collector;
    callbacks.alloc = allocate;
    callbacks.free = release;
    callbacks.errorPrintf = onError;
    callbacks.warningPrintf = onWarning;
    callbacks.infoPrintf = onInfo;
    callbacks.silentPrintf = onSilent;
    result.passed = check(&callbacks, &settings, settings.audioType, settings.sampleFrequency, 0, nullptr) == 0;
    return result;
}

} // namespace vl::host
