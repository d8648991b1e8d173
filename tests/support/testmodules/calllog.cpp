#include "calllog.h"

#include <cstdio>
#include <dlfcn.h>

namespace {
// Every module links its own copy of this file (hidden visibility), so this
// address lies inside the module that calls.
void anchor() { }
} // namespace

void appendCallLog(const char* module, const std::string& line)
{
    Dl_info info {};
    std::string path = dladdr(reinterpret_cast<const void*>(&anchor), &info) && info.dli_fname ? info.dli_fname : "";
    path = path.substr(0, path.rfind('/') + 1) + "vl_testmodules.log";
    if (FILE* const file = std::fopen(path.c_str(), "a")) {
        std::fprintf(file, "%s %s\n", module, line.c_str());
        std::fclose(file);
    }
}
