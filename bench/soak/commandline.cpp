#include "commandline.h"

#include <cstdlib>

CommandLine::CommandLine(int argc, char** argv)
    : arguments(argv + 1, argv + argc)
{
}

bool CommandLine::flag(const std::string& name) const
{
    for (const std::string& argument : arguments) {
        if (argument == name) {
            return true;
        }
    }
    return false;
}

long CommandLine::number(const std::string& name, long fallback) const
{
    const std::string* value = valueOf(name);
    return value ? std::strtol(value->c_str(), nullptr, 10) : fallback;
}

std::string CommandLine::text(const std::string& name, const std::string& fallback) const
{
    const std::string* value = valueOf(name);
    return value ? *value : fallback;
}

const std::string* CommandLine::valueOf(const std::string& name) const
{
    for (size_t i = 0; i + 1 < arguments.size(); ++i) {
        if (arguments[i] == name) {
            return &arguments[i + 1];
        }
    }
    return nullptr;
}
