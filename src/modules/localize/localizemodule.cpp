// The entry points of gui_mpa_localize: the dialog sets the user's language
// once after loading the module; localizeConvertStr then turns the encoder
// module's message formats into that language.
#include "messagetranslations.h"

#include <atomic>
#include <veltrano/mpa_modules.h>

namespace {

// The language set last; the module's only state.
std::atomic<vl::localize::Language> currentLanguage { vl::localize::Language::Untranslated };

} // namespace

extern "C" {

// 0 when the language has translations; 1 otherwise, and texts then stay
// untranslated.
int32_t localizeSetLanguage(uint16_t language)
{
    const vl::localize::Language chosen = vl::localize::languageFromNumber(language);
    currentLanguage.store(chosen);
    return chosen == vl::localize::Language::Untranslated ? 1 : 0;
}

const char* localizeConvertStr(const char* text)
{
    return vl::localize::convert(currentLanguage.load(), text);
}

} // extern "C"
