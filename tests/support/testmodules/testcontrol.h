#ifndef VL_TESTMODULES_TESTCONTROL_H
#define VL_TESTMODULES_TESTCONTROL_H

// Steering and call recording shared by the test companion modules.
//
// Each module looks for two files in the directory it was loaded from
// (found with dladdr on this code, which every module links in), so a test
// steers exactly the copies it placed there:
//
//   vl_testmodules.ctl   control file, read afresh at every call
//   vl_testmodules.log   call log, one line appended per call
//
// Control file: one "key=value" per line; blank lines and lines starting
// with '#' are skipped; for a key given twice the last line wins, except
// "report", which accumulates in order. Keys:
//
//   check.result=<int>          result of mpegOutAudioChkSettings (default 0)
//   report=<level> <text>       one report made by the check, through the
//                               slot of <level>: error, warning, info or
//                               silent; the text is passed as a "%s" argument
//   report.fill=<level> <count> <char>
//                               one report of <count> copies of <char>
//   defaults.result=<int>       result of mpegOutAudioDefaults (default 0)
//   defaults.<field>=<int>      value mpegOutAudioDefaults writes into a
//                               field (mode, layer, psychModel, bitrateIndex,
//                               emphasis, privateBit, errorProtection,
//                               copyrightBit, originalBit); fields without a
//                               key get 1, 2, 1, 11, 0, 0, 0, 0, 1
//   defaults.opaque=<int>       byte written over bytes 36-4095 (default:
//                               those bytes stay as they are)
//   getapi.load=0|1             whether MPAConfigGetAPIExt hands out the load
//   getapi.save=0|1             and save functions (default 1)
//   load.result=<int>           result of the load function (default 0)
//   load.<field>=<int>          value the load function writes into a field
//                               (fields as for defaults, plus audioType and
//                               sampleFrequency); only given fields change
//   save.result=<int>           result of the save function (default 0)
//   save.write=0|1              whether save writes "<field>=<value>" lines
//                               of the nine fields to the path (default 0)
//
// Call log lines, "<module> <call> <arguments>", for example:
//
//   vl_enc_mpa attach                      module mapped into the process
//   vl_enc_mpa detach                      module unmapped again
//   vl_enc_mpa defaults 4
//   vl_enc_mpa check 4 48000 0 null mode=1 layer=2 psychModel=1
//       bitrateIndex=11 emphasis=0 privateBit=0 errorProtection=0
//       copyrightBit=0 originalBit=0    (one line)
//   vl_config_mpa getapi 8193
//   vl_config_mpa load /path/file.cfg
//   vl_config_mpa save /path/file.cfg
//   gui_mpa_localize setLanguage 7

#include <map>
#include <string>
#include <utility>
#include <vector>
#include <veltrano/mpa_settings.h>

namespace TestControl {

struct Report
{
    std::string level;
    std::string text;
};

struct Control
{
    std::map<std::string, std::string> values;
    std::vector<Report> reports;

    // Integer value of a key, or the fallback when absent or not a number.
    long number(const std::string& key, long fallback) const;
    bool has(const std::string& key) const { return values.count(key) != 0; }
};

// Reads the control file beside this module.
Control readControl();
// Appends "<module> <line>" to the call log beside this module.
void logCall(const char* module, const std::string& line);
#ifdef VL_TM_NAME
// The same under this module's name (set by the build).
inline void log(const std::string& line)
{
    logCall(VL_TM_NAME, line);
}
#endif

// " mode=1 layer=2 ..." for the nine fields of the encoder settings record.
std::string describeFields(const EncoderSettings* settings);
// Names and pointers of the nine record fields, in block order.
std::vector<std::pair<const char*, int32_t*>> recordFields(EncoderSettings* settings);

} // namespace TestControl

// Logs "attach" when the module is mapped and "detach" when it is unmapped.
#define VL_TM_LOG_LIFETIME                                                                                             \
    __attribute__((constructor)) static void vlTmAttach()                                                              \
    {                                                                                                                  \
        TestControl::log("attach");                                                                                    \
    }                                                                                                                  \
    __attribute__((destructor)) static void vlTmDetach()                                                               \
    {                                                                                                                  \
        TestControl::log("detach");                                                                                    \
    }

#endif
