// Arbitrary bytes as a settings file to load, and as an existing file to
// save into. A load either fails with the block untouched or succeeds; a
// save that keeps the old content must load again, to the saved values.
#include <config/settingsfile.h>
#include <cstdlib>
#include <cstring>

using namespace vl::config;

namespace {

void check(bool condition)
{
    if (!condition) {
        std::abort();
    }
}

EncoderSettings pattern()
{
    EncoderSettings s;
    for (size_t i = 0; i < sizeof s; ++i) {
        reinterpret_cast<uint8_t*>(&s)[i] = static_cast<uint8_t>(i * 13 + 1);
    }
    s.layer = 2;
    s.mode = 1;
    s.psychModel = 1;
    s.bitrateIndex = 9;
    s.emphasis = 0;
    s.privateBit = s.copyrightBit = s.originalBit = s.errorProtection = 1;
    s.sampleFrequency = 44100;
    s.audioType = 4;
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    EncoderSettings loaded = pattern();
    const EncoderSettings before = loaded;
    if (!applySettingsText(text, loaded).ok()) {
        check(std::memcmp(&loaded, &before, sizeof loaded) == 0);
    }

    const EncoderSettings saved = pattern();
    if (const std::optional<std::string> merged = mergeSettingsText(saved, text)) {
        EncoderSettings back = pattern();
        std::memset(&back, 0, 36); // the nine header fields
        check(applySettingsText(*merged, back).ok());
        check(back.layer == saved.layer && back.mode == saved.mode && back.bitrateIndex == saved.bitrateIndex
            && back.emphasis == saved.emphasis && back.sampleFrequency == saved.sampleFrequency
            && back.audioType == saved.audioType && back.psychModel == saved.psychModel && back.privateBit == 1
            && back.copyrightBit == 1 && back.originalBit == 1 && back.errorProtection == 1);
    }
    return 0;
}
