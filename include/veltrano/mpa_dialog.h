/*
 * Entry point of the settings dialog library libvl_gui_mpa.so.
 *
 *   int32_t showMPAEncoderPages(EncoderSettings* settings, uint32_t flags,
 *                               intptr_t param);
 *
 * One call is one modal dialog run. Returns VL_DIALOG_ACCEPTED (1000) when
 * the user confirmed settings that passed the encoder's check (bytes 0-4095
 * of *settings were written back), VL_DIALOG_REJECTED (1001) when the dialog
 * was cancelled or closed, and VL_DIALOG_FAILED (1) when it could not start.
 */
#ifndef VL_MPA_DIALOG_H
#define VL_MPA_DIALOG_H

#include "mpa_settings.h"
#include "vl_export.h"

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Return codes. */
enum { VL_DIALOG_FAILED = 1, VL_DIALOG_ACCEPTED = 1000, VL_DIALOG_REJECTED = 1001 };

/* Option bits of the flags word. */
enum {
    VL_FLAG_BASIC_SETTINGS = 0x0001, /* show the "Basic Settings" tab */
    VL_FLAG_LOAD_SAVE = 0x0010, /* show the Load and Save buttons */
    VL_FLAG_NO_INITIAL_CHECK = 0x0020, /* with LOAD_SAVE: no check at construction */
    VL_FLAG_COLOURED_MESSAGES = 0x0040,
    VL_FLAG_HIDE_BANNER = 0x1000,
    VL_FLAG_LOCK_AUDIO_TYPE = 0x2000,
    VL_FLAG_HOST_APPLICATION = 0x10000000, /* parent holds the host's QApplication* */
    VL_FLAG_PARAMS_RECORD = 0x20000000 /* param points to a host DialogParams */
};

/* Record shared with the host; 2504 bytes. With VL_FLAG_PARAMS_RECORD the
 * host passes its own record, whose flags field is overwritten. */
typedef struct DialogParams
{
    uint32_t flags;
    uint32_t reserved0;
    uint64_t parent; /* native window handle, or QApplication* with HOST_APPLICATION */
    const char* title; /* NUL-terminated window title, or null for the built-in one */
    const char* banner; /* NUL-terminated banner image path, or null */
    uint8_t reserved1[2472];
} DialogParams;

VL_STATIC_ASSERT(sizeof(void*) == 8, "the dialog records assume 64-bit pointers");
VL_STATIC_ASSERT(sizeof(DialogParams) == 2504, "DialogParams must be 2504 bytes");
VL_STATIC_ASSERT(offsetof(DialogParams, flags) == 0, "flags offset");
VL_STATIC_ASSERT(offsetof(DialogParams, parent) == 8, "parent offset");
VL_STATIC_ASSERT(offsetof(DialogParams, title) == 16, "title offset");
VL_STATIC_ASSERT(offsetof(DialogParams, banner) == 24, "banner offset");
VL_STATIC_ASSERT(offsetof(DialogParams, reserved1) == 32, "reserved offset");

typedef int32_t (*ShowMPAEncoderPagesFunc)(EncoderSettings* settings, uint32_t flags, intptr_t param);

VL_EXPORT int32_t showMPAEncoderPages(EncoderSettings* settings, uint32_t flags, intptr_t param);

#ifdef __cplusplus
}
#endif

#endif
