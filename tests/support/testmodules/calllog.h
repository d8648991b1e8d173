#ifndef VL_TESTMODULES_CALLLOG_H
#define VL_TESTMODULES_CALLLOG_H

// Call recording shared by the test companion modules. Each module appends
// one line per call to vl_testmodules.log in the directory it was loaded
// from (found with dladdr on this code, which every module links in), so a
// test sees exactly the calls of the copies it placed there. Lines are
// "<module> <call> <arguments>", for example:
//
//   vl_enc_mpa attach                module mapped into the process
//   vl_enc_mpa detach                module unmapped again
//   vl_enc_mpa defaults 4
//   vl_enc_mpa check 4 48000
//   vl_config_mpa getapi 8193
//   gui_mpa_localize setLanguage 7

#include <string>

// Appends "<module> <line>" to the call log beside this module.
void appendCallLog(const char* module, const std::string& line);
#ifdef VL_TM_NAME
// The same under this module's name, set by the build.
inline void logCall(const std::string& line)
{
    appendCallLog(VL_TM_NAME, line);
}
#endif

// Logs "attach" when the module is mapped and "detach" when it is unmapped.
#define VL_TM_LOG_LIFETIME                                                                                             \
    __attribute__((constructor)) static void vlTmAttach()                                                              \
    {                                                                                                                  \
        logCall("attach");                                                                                             \
    }                                                                                                                  \
    __attribute__((destructor)) static void vlTmDetach()                                                               \
    {                                                                                                                  \
        logCall("detach");                                                                                             \
    }

#endif
