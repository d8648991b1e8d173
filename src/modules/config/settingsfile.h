/*
 * The text form of the encoder settings: a section [MPEG Audio] with one
 * readable key per field (see docs/settings-file-format.md). Other sections,
 * unknown keys and comment lines (';' or '#') are allowed and survive a save.
 */
#ifndef VL_CONFIG_SETTINGSFILE_H
#define VL_CONFIG_SETTINGSFILE_H

#include <optional>
#include <string>
#include <string_view>
#include <veltrano/mpa_settings.h>

namespace vl::config {

inline constexpr std::string_view sectionName = "MPEG Audio";

enum class ParseError {
    None,
    NotText, // bytes that are not UTF-8 text
    MalformedLine, // neither blank, comment, [section] nor key = value
    UnknownValue, // a known key with a value it cannot take
    BitrateNotInTable, // a bitrate the layer and MPEG version do not have
    NoSection // no [MPEG Audio] section at all
};

struct ParseResult
{
    ParseError error = ParseError::None;
    int line = 0; // 1-based line of the fault, 0 when it has none
    bool ok() const { return error == ParseError::None; }
};

// True when the bytes are UTF-8 text without NUL or other control
// characters than tab, CR, LF and form feed: what a settings file holds.
bool isSettingsText(std::string_view bytes);

// Applies the [MPEG Audio] section of a settings file to settings. All or
// nothing: on any fault settings stay as they were, byte for byte. A key
// that is absent leaves its field unchanged; the bitrate is resolved with
// the layer and sampling frequency the settings have after the other keys.
ParseResult applySettingsText(std::string_view text, EncoderSettings& settings);

// True when every field a settings file holds has a value it can hold and
// load again: mode 0-3, layer 1 or 2, psychoacoustic model 1 or 2, bitrate
// index 1-14, emphasis 0, 1 or 3, the four flags 0 or 1, and a sampling
// frequency of 0 or more. Any audio type is fine.
bool fieldsInRange(const EncoderSettings& settings);

// The text of a settings file that holds every known field of settings.
// With existing text, keeps its other sections, keys, comments, line
// endings and byte-order mark, and replaces the known keys in place. Null
// when a field is out of range, or when the existing text is not a settings
// file that can be kept that way.
std::optional<std::string> mergeSettingsText(const EncoderSettings& settings, std::string_view existing);

} // namespace vl::config

#endif
