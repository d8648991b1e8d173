/*
 * Minimal host of the MPEG-1/2 audio encoder settings dialog, in C.
 *
 * Against an installed package (examples/CMakeLists.txt, or pkg-config):
 *
 *   cc host.c $(pkg-config --cflags --libs veltrano-mpa) -DVL_EXAMPLE_LINKED -ldl -o host
 *   ./host
 *
 * or against the source tree, loading the library at run time:
 *
 *   cc -I<source>/include host.c -ldl -o host
 *   ./host /path/to/libvl_gui_mpa.so
 *
 * The host owns the 8192-byte settings block and calls the library's one
 * export, either linked (VL_EXAMPLE_LINKED, and no path given) or looked up
 * with dlsym. The dialog library finds its companion modules
 * (vl_config_mpa.so, vl_enc_mpa.so, ...) and translations beside itself.
 */
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <veltrano/mpa_dialog.h>

int main(int argc, char** argv)
{
    void* library = NULL;
    ShowMPAEncoderPagesFunc show = NULL;
#ifdef VL_EXAMPLE_LINKED
    /* Linked: the loader found the library through this program's run path. */
    if (argc < 2)
        show = showMPAEncoderPages;
#endif
    if (!show) {
        const char* path = argc > 1 ? argv[1] : "libvl_gui_mpa.so";
        library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
        if (!library) {
            fprintf(stderr, "cannot load %s: %s\n", path, dlerror());
            return 2;
        }
        show = (ShowMPAEncoderPagesFunc)dlsym(library, "showMPAEncoderPages");
        if (!show) {
            fprintf(stderr, "%s has no showMPAEncoderPages\n", path);
            dlclose(library);
            return 2;
        }
    }

    /* The block lives as long as the host wants its settings. */
    EncoderSettings* settings = calloc(1, sizeof *settings);
    if (!settings) {
        if (library)
            dlclose(library);
        return 2;
    }
    settings->layer = 2;
    settings->mode = VL_MODE_JOINT_STEREO;
    settings->psychModel = 1;
    settings->bitrateIndex = 11; /* 224 kbps */
    settings->audioType = VL_AUDIO_MPEG1;
    settings->sampleFrequency = 48000;

    /* Optional: a parameter record for a title of the host's own. */
    DialogParams params;
    memset(&params, 0, sizeof params);
    params.title = "Example Host - Audio Settings";

    uint32_t flags = VL_FLAG_BASIC_SETTINGS | VL_FLAG_LOAD_SAVE | VL_FLAG_NO_INITIAL_CHECK | VL_FLAG_COLOURED_MESSAGES
        | VL_FLAG_PARAMS_RECORD;
    int32_t result = show(settings, flags, (intptr_t)&params);

    switch (result) {
    case VL_DIALOG_ACCEPTED:
        printf("accepted: layer %d, mode %d, bitrate index %d\n", (int)settings->layer, (int)settings->mode,
            (int)settings->bitrateIndex);
        break;
    case VL_DIALOG_REJECTED:
        printf("cancelled; settings unchanged\n");
        break;
    default:
        printf("the dialog could not start (%d)\n", (int)result);
        break;
    }

    free(settings);
    if (library)
        dlclose(library);
    return result == VL_DIALOG_FAILED ? 1 : 0;
}
