// mpa-settings: a command-line host of the settings dialog. It uses no
// toolkit of its own; the dialog library brings its application object.

#include "hostoptions.h"

#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <veltrano/mpa_dialog.h>

namespace {
std::string besideProgram(const char* file)
{
    char path[4096];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return file;
    path[length] = '\0';
    std::string directory(path);
    directory.erase(directory.rfind('/') + 1);
    return directory + file;
}

// The library is found beside this program or through its run path.
void* openLibrary(const std::string& explicitPath)
{
    if (!explicitPath.empty())
        return dlopen(explicitPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* library = dlopen(besideProgram("libvl_gui_mpa.so").c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library)
        library = dlopen("libvl_gui_mpa.so", RTLD_NOW | RTLD_LOCAL);
    return library;
}
} // namespace

int main(int argc, char** argv)
{
    auto options = std::make_unique<HostOptions>();
    std::string error;
    if (!parseHostOptions(argc, argv, *options, error)) {
        std::fprintf(stderr, "%s: %s\n%s", argv[0], error.c_str(), hostUsage(argv[0]).c_str());
        return 2;
    }
    if (options->help) {
        std::fputs(hostUsage(argv[0]).c_str(), stdout);
        return 0;
    }

    void* const library = openLibrary(options->library);
    const auto show
        = library ? reinterpret_cast<ShowMPAEncoderPagesFunc>(dlsym(library, "showMPAEncoderPages")) : nullptr;
    if (!show) {
        std::fprintf(stderr, "%s: cannot load the dialog library: %s\n", argv[0], dlerror());
        return 2;
    }

    // A title or banner travels in a parameter record (flag bit 29).
    uint32_t flags = options->flags;
    intptr_t param = static_cast<intptr_t>(options->parent);
    DialogParams record;
    std::memset(&record, 0, sizeof record);
    if (options->title || options->banner) {
        record.parent = options->parent;
        record.title = options->title ? options->title->c_str() : nullptr;
        record.banner = options->banner ? options->banner->c_str() : nullptr;
        flags |= VL_FLAG_PARAMS_RECORD;
        param = reinterpret_cast<intptr_t>(&record);
    }

    const int32_t result = show(&options->settings, flags, param);
    std::printf("result=%d\n", result);
    for (const std::string& line : describeSettings(options->settings))
        std::printf("%s\n", line.c_str());
    dlclose(library);
    return 0;
}
