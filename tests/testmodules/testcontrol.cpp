#include "testcontrol.h"

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

namespace TestControl {

namespace {
std::string moduleDirectory(const void* anchor)
{
    Dl_info info {};
    if (!dladdr(anchor, &info) || !info.dli_fname)
        return ".";
    const std::string path = info.dli_fname;
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string trimmed(const std::string& text)
{
    const std::string::size_type first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    const std::string::size_type last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
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

Control readControl(const void* anchor)
{
    Control control;
    const std::string path = moduleDirectory(anchor) + "/vl_testmodules.ctl";
    FILE* const file = std::fopen(path.c_str(), "r");
    if (!file)
        return control;
    std::string line;
    for (int c = std::fgetc(file);; c = std::fgetc(file)) {
        if (c != '\n' && c != EOF) {
            line += static_cast<char>(c);
            continue;
        }
        const std::string entry = trimmed(line);
        line.clear();
        const std::string::size_type equals = entry.find('=');
        if (!entry.empty() && entry[0] != '#' && equals != std::string::npos) {
            const std::string key = trimmed(entry.substr(0, equals));
            const std::string value = entry.substr(equals + 1);
            if (key == "report" || key == "report.fill")
                addReport(control, key, value);
            else
                control.values[key] = trimmed(value);
        }
        if (c == EOF)
            break;
    }
    std::fclose(file);
    return control;
}

void logCall(const void* anchor, const char* module, const std::string& line)
{
    const std::string path = moduleDirectory(anchor) + "/vl_testmodules.log";
    FILE* const file = std::fopen(path.c_str(), "a");
    if (!file)
        return;
    std::fprintf(file, "%s %s\n", module, line.c_str());
    std::fclose(file);
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
