#include "testcontrol.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fstream>

namespace TestControl {

namespace {
// Every module links its own copy of this file (hidden visibility), so this
// address lies inside the module that calls.
void anchor() { }

std::string besideModule(const char* file)
{
    Dl_info info {};
    const std::string path = dladdr(reinterpret_cast<const void*>(&anchor), &info) && info.dli_fname
        ? std::string(info.dli_fname)
        : std::string();
    const std::string::size_type slash = path.rfind('/');
    return (slash == std::string::npos ? std::string(".") : path.substr(0, slash)) + "/" + file;
}

std::string trimmed(const std::string& text)
{
    const std::string::size_type first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

void addReport(Control& control, const std::string& key, const std::string& value)
{
    const std::string::size_type space = value.find(' ');
    const std::string level = value.substr(0, space);
    const std::string rest = space == std::string::npos ? std::string() : value.substr(space + 1);
    if (key == "report") {
        control.reports.push_back({ level, rest });
        return;
    }
    // report.fill=<level> <count> <char>
    char* end = nullptr;
    const long count = std::strtol(rest.c_str(), &end, 10);
    const std::string character = trimmed(end ? end : "");
    if (count > 0 && !character.empty())
        control.reports.push_back({ level, std::string(static_cast<std::size_t>(count), character[0]) });
}
} // namespace

long Control::number(const std::string& key, long fallback) const
{
    const auto found = values.find(key);
    if (found == values.end())
        return fallback;
    char* end = nullptr;
    const long value = std::strtol(found->second.c_str(), &end, 0);
    return end == found->second.c_str() ? fallback : value;
}

Control readControl()
{
    Control control;
    std::ifstream file(besideModule("vl_testmodules.ctl"));
    for (std::string line; std::getline(file, line);) {
        const std::string entry = trimmed(line);
        const std::string::size_type equals = entry.find('=');
        if (entry.empty() || entry[0] == '#' || equals == std::string::npos)
            continue;
        const std::string key = trimmed(entry.substr(0, equals));
        if (key == "report" || key == "report.fill")
            addReport(control, key, entry.substr(equals + 1));
        else
            control.values[key] = trimmed(entry.substr(equals + 1));
    }
    return control;
}

void logCall(const char* module, const std::string& line)
{
    if (FILE* const file = std::fopen(besideModule("vl_testmodules.log").c_str(), "a")) {
        std::fprintf(file, "%s %s\n", module, line.c_str());
        std::fclose(file);
    }
}

std::vector<std::pair<const char*, int32_t*>> recordFields(EncoderSettings* settings)
{
    return {
        { "mode", &settings->mode },
        { "layer", &settings->layer },
        { "psychModel", &settings->psychModel },
        { "bitrateIndex", &settings->bitrateIndex },
        { "emphasis", &settings->emphasis },
        { "privateBit", &settings->privateBit },
        { "errorProtection", &settings->errorProtection },
        { "copyrightBit", &settings->copyrightBit },
        { "originalBit", &settings->originalBit },
    };
}

std::string describeFields(const EncoderSettings* settings)
{
    if (!settings)
        return " settings=null";
    std::string text;
    for (const auto& field : recordFields(const_cast<EncoderSettings*>(settings)))
        text += std::string(" ") + field.first + "=" + std::to_string(*field.second);
    return text;
}

} // namespace TestControl
