#ifndef VL_SOAK_COMMANDLINE_H
#define VL_SOAK_COMMANDLINE_H

#include <string>
#include <vector>

// The "--name value" and "--flag" options of a soak program.
class CommandLine
{
public:
    CommandLine(int argc, char** argv);

    bool flag(const std::string& name) const;
    long number(const std::string& name, long fallback) const;
    std::string text(const std::string& name, const std::string& fallback) const;

private:
    const std::string* valueOf(const std::string& name) const;

    std::vector<std::string> arguments;
};

#endif
