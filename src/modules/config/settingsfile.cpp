#include "settingsfile.h"

#include <array>
#include <climits>
#include <cstring>
#include <probe/mpegaudioheader.h>
#include <vector>

namespace vl::config {

namespace {

enum class Key {
    AudioType,
    SampleFrequency,
    Layer,
    Mode,
    Bitrate,
    PsychModel,
    Emphasis,
    Private,
    Copyright,
    Original,
    ErrorProtection
};

struct KeyName
{
    Key key;
    std::string_view name;
};

// Also the order in which a new file lists them.
constexpr std::array<KeyName, 11> keys = { {
    { Key::AudioType, "audio_type" },
    { Key::SampleFrequency, "sample_frequency" },
    { Key::Layer, "layer" },
    { Key::Mode, "mode" },
    { Key::Bitrate, "bitrate" },
    { Key::PsychModel, "psychoacoustic_model" },
    { Key::Emphasis, "emphasis" },
    { Key::Private, "private" },
    { Key::Copyright, "copyright" },
    { Key::Original, "original" },
    { Key::ErrorProtection, "error_protection" },
} };

constexpr std::array<std::string_view, 4> modeNames = { "stereo", "joint_stereo", "dual_channel", "mono" };

struct Line
{
    enum Kind { Blank, Comment, Section, KeyValue, Malformed } kind = Blank;
    std::string name; // section name or key, lower-cased for keys
    std::string_view value; // trimmed, without an inline comment
    size_t valueBegin = 0; // where the value sits in the raw line
    size_t valueEnd = 0;
};

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\f' || c == '\r';
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && isSpace(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isSpace(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::string lower(std::string_view s)
{
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

// "Joint Stereo", "joint-stereo" and "joint_stereo" name the same value.
std::string normalisedWord(std::string_view s)
{
    std::string out = lower(s);
    for (char& c : out) {
        if (c == ' ' || c == '-') {
            c = '_';
        }
    }
    return out;
}

Line classify(std::string_view raw)
{
    Line line;
    const std::string_view text = trim(raw);
    if (text.empty()) {
        return line;
    }
    if (text.front() == ';' || text.front() == '#') {
        line.kind = Line::Comment;
        return line;
    }
    if (text.front() == '[') {
        if (text.back() != ']' || text.size() < 2) {
            line.kind = Line::Malformed;
            return line;
        }
        line.kind = Line::Section;
        line.name = std::string(trim(text.substr(1, text.size() - 2)));
        return line;
    }
    const size_t equals = raw.find('=');
    const std::string_view key = equals == std::string_view::npos ? std::string_view() : trim(raw.substr(0, equals));
    if (key.empty()) {
        line.kind = Line::Malformed;
        return line;
    }
    line.kind = Line::KeyValue;
    line.name = lower(key);
    size_t begin = equals + 1;
    while (begin < raw.size() && isSpace(raw[begin])) {
        ++begin;
    }
    // An inline comment starts at ';' or '#' at the value's start or after a blank.
    size_t end = begin;
    while (end < raw.size() && !((raw[end] == ';' || raw[end] == '#') && (end == begin || isSpace(raw[end - 1])))) {
        ++end;
    }
    while (end > begin && isSpace(raw[end - 1])) {
        --end;
    }
    line.valueBegin = begin;
    line.valueEnd = end;
    line.value = raw.substr(begin, end - begin);
    return line;
}

bool isOurSection(const Line& line)
{
    return line.kind == Line::Section && lower(line.name) == lower(sectionName);
}

const KeyName* findKey(const std::string& name)
{
    for (const KeyName& k : keys) {
        if (k.name == name) {
            return &k;
        }
    }
    return nullptr;
}

struct TextLines
{
    std::vector<std::string_view> raw;
    bool crlf = false;
    bool bom = false;
};

TextLines splitLines(std::string_view text)
{
    TextLines lines;
    if (text.size() >= 3 && std::memcmp(text.data(), "\xEF\xBB\xBF", 3) == 0) {
        lines.bom = true;
        text.remove_prefix(3);
    }
    lines.crlf = text.find("\r\n") != std::string_view::npos;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.raw.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool parseInt(std::string_view s, bool allowNegative, int32_t& out)
{
    bool negative = false;
    if (allowNegative && !s.empty() && (s.front() == '-' || s.front() == '+')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || s.size() > 10) {
        return false;
    }
    int64_t value = 0;
    for (const char c : s) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
    }
    value = negative ? -value : value;
    if (value < INT32_MIN || value > INT32_MAX) {
        return false;
    }
    out = static_cast<int32_t>(value);
    return true;
}

bool parseFlag(std::string_view s, int32_t& out)
{
    const std::string word = lower(s);
    if (word == "1" || word == "yes" || word == "true" || word == "on") {
        out = 1;
        return true;
    }
    if (word == "0" || word == "no" || word == "false" || word == "off") {
        out = 0;
        return true;
    }
    return false;
}

bool parseEmphasis(std::string_view s, int32_t& out)
{
    const std::string word = normalisedWord(s);
    if (word == "none") {
        out = VL_EMPHASIS_NONE;
    } else if (word == "50/15") {
        out = VL_EMPHASIS_50_15;
    } else if (word == "ccitt_j17" || word == "ccitt_j.17") {
        out = VL_EMPHASIS_CCITT_J17;
    } else {
        return false;
    }
    return true;
}

// Applies one value to settings; false when the key cannot take it. The
// bitrate is only checked for form here and resolved once all keys are in.
bool applyValue(Key key, std::string_view value, EncoderSettings& s, int32_t& bitrateKbps)
{
    int32_t v = 0;
    switch (key) {
    case Key::AudioType:
        return parseInt(value, true, s.audioType);
    case Key::SampleFrequency:
        return parseInt(value, false, s.sampleFrequency);
    case Key::Layer:
        if (!parseInt(value, false, v) || (v != 1 && v != 2)) {
            return false;
        }
        s.layer = v;
        return true;
    case Key::PsychModel:
        if (!parseInt(value, false, v) || (v != 1 && v != 2)) {
            return false;
        }
        s.psychModel = v;
        return true;
    case Key::Mode:
        for (size_t i = 0; i < modeNames.size(); ++i) {
            if (normalisedWord(value) == modeNames[i]) {
                s.mode = static_cast<int32_t>(i);
                return true;
            }
        }
        return false;
    case Key::Bitrate:
        return parseInt(value, false, bitrateKbps) && bitrateKbps > 0;
    case Key::Emphasis:
        return parseEmphasis(value, s.emphasis);
    case Key::Private:
        return parseFlag(value, s.privateBit);
    case Key::Copyright:
        return parseFlag(value, s.copyrightBit);
    case Key::Original:
        return parseFlag(value, s.originalBit);
    case Key::ErrorProtection:
        return parseFlag(value, s.errorProtection);
    }
    return false;
}

// The text of a field whose value is in range (fieldsInRange).
std::string formatValue(Key key, const EncoderSettings& s)
{
    switch (key) {
    case Key::AudioType:
        return std::to_string(s.audioType);
    case Key::SampleFrequency:
        return std::to_string(s.sampleFrequency);
    case Key::Layer:
        return std::to_string(s.layer);
    case Key::PsychModel:
        return std::to_string(s.psychModel);
    case Key::Mode:
        return std::string(modeNames[static_cast<size_t>(s.mode)]);
    case Key::Bitrate:
        return std::to_string(
            probe::mpegAudioBitrateKbps(probe::mpegVersionForFrequency(s.sampleFrequency), s.layer, s.bitrateIndex));
    case Key::Emphasis:
        return s.emphasis == VL_EMPHASIS_NONE ? "none" : s.emphasis == VL_EMPHASIS_50_15 ? "50/15" : "ccitt_j17";
    case Key::Private:
        return std::to_string(s.privateBit);
    case Key::Copyright:
        return std::to_string(s.copyrightBit);
    case Key::Original:
        return std::to_string(s.originalBit);
    case Key::ErrorProtection:
        return std::to_string(s.errorProtection);
    }
    return {};
}

bool isFlag(int32_t value)
{
    return value == 0 || value == 1;
}

} // namespace

bool isSettingsText(std::string_view bytes)
{
    size_t i = 0;
    while (i < bytes.size()) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80) {
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') {
                return false;
            }
            if (c == 0x7f) {
                return false;
            }
            ++i;
            continue;
        }
        // A UTF-8 sequence: lead byte, then continuation bytes, shortest form.
        size_t extra = 0;
        uint32_t code = 0;
        if ((c & 0xe0) == 0xc0) {
            extra = 1;
            code = c & 0x1f;
        } else if ((c & 0xf0) == 0xe0) {
            extra = 2;
            code = c & 0x0f;
        } else if ((c & 0xf8) == 0xf0) {
            extra = 3;
            code = c & 0x07;
        } else {
            return false;
        }
        if (i + extra >= bytes.size()) {
            return false;
        }
        for (size_t k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(bytes[i + k]);
            if ((cc & 0xc0) != 0x80) {
                return false;
            }
            code = (code << 6) | (cc & 0x3f);
        }
        static constexpr uint32_t minimum[4] = { 0, 0x80, 0x800, 0x10000 };
        if (code < minimum[extra] || code > 0x10ffff || (code >= 0xd800 && code <= 0xdfff)) {
            return false;
        }
        i += extra + 1;
    }
    return true;
}

ParseResult applySettingsText(std::string_view text, EncoderSettings& settings)
{
    if (!isSettingsText(text)) {
        return { ParseError::NotText, 0 };
    }
    const TextLines lines = splitLines(text);
    EncoderSettings copy;
    std::memcpy(&copy, &settings, sizeof copy);
    bool inSection = false;
    bool sawSection = false;
    int32_t bitrateKbps = 0;
    int bitrateLine = 0;
    for (size_t i = 0; i < lines.raw.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        const Line line = classify(lines.raw[i]);
        switch (line.kind) {
        case Line::Malformed:
            return { ParseError::MalformedLine, number };
        case Line::Section:
            inSection = isOurSection(line);
            sawSection = sawSection || inSection;
            break;
        case Line::KeyValue:
            if (inSection) {
                if (const KeyName* key = findKey(line.name)) {
                    if (!applyValue(key->key, line.value, copy, bitrateKbps)) {
                        return { ParseError::UnknownValue, number };
                    }
                    if (key->key == Key::Bitrate) {
                        bitrateLine = number;
                    }
                }
            }
            break;
        default:
            break;
        }
    }
    if (!sawSection) {
        return { ParseError::NoSection, 0 };
    }
    if (bitrateLine > 0) {
        const int index = probe::mpegAudioBitrateIndex(
            probe::mpegVersionForFrequency(copy.sampleFrequency), copy.layer == 1 ? 1 : 2, bitrateKbps);
        if (index == 0) {
            return { ParseError::BitrateNotInTable, bitrateLine };
        }
        copy.bitrateIndex = index;
    }
    std::memcpy(&settings, &copy, sizeof copy);
    return {};
}

bool fieldsInRange(const EncoderSettings& s)
{
    return s.mode >= VL_MODE_STEREO && s.mode <= VL_MODE_MONO && (s.layer == 1 || s.layer == 2)
        && (s.psychModel == 1 || s.psychModel == 2) && s.bitrateIndex >= 1 && s.bitrateIndex <= 14
        && (s.emphasis == VL_EMPHASIS_NONE || s.emphasis == VL_EMPHASIS_50_15 || s.emphasis == VL_EMPHASIS_CCITT_J17)
        && isFlag(s.privateBit) && isFlag(s.copyrightBit) && isFlag(s.originalBit) && isFlag(s.errorProtection)
        && s.sampleFrequency >= 0;
}

std::optional<std::string> mergeSettingsText(const EncoderSettings& settings, std::string_view existing)
{
    if (!fieldsInRange(settings) || !isSettingsText(existing)) {
        return std::nullopt;
    }
    const TextLines lines = splitLines(existing);
    std::vector<Line> classified;
    classified.reserve(lines.raw.size());
    for (const std::string_view raw : lines.raw) {
        classified.push_back(classify(raw));
        if (classified.back().kind == Line::Malformed) {
            return std::nullopt;
        }
    }

    std::vector<std::string> out;
    std::array<bool, keys.size()> written {};
    bool inSection = false;
    size_t insertAt = std::string::npos; // after the last content line of our last section
    for (size_t i = 0; i < lines.raw.size(); ++i) {
        const Line& line = classified[i];
        if (line.kind == Line::Section) {
            inSection = isOurSection(line);
        }
        if (inSection && line.kind == Line::KeyValue) {
            if (const KeyName* key = findKey(line.name)) {
                const size_t k = static_cast<size_t>(key - keys.data());
                if (written[k]) {
                    continue; // a duplicate: drop the line
                }
                written[k] = true;
                const std::string_view raw = lines.raw[i];
                std::string replaced(raw.substr(0, line.valueBegin));
                if (line.valueBegin == line.valueEnd && !replaced.empty() && !isSpace(replaced.back())) {
                    replaced += ' ';
                }
                replaced += formatValue(key->key, settings);
                const std::string_view rest = raw.substr(line.valueEnd);
                if (!rest.empty() && !isSpace(rest.front())) {
                    replaced += ' '; // an inline comment must stay apart from the new value
                }
                replaced += rest;
                out.push_back(std::move(replaced));
                insertAt = out.size();
                continue;
            }
        }
        out.emplace_back(lines.raw[i]);
        if (inSection && line.kind != Line::Blank) {
            insertAt = out.size();
        }
    }

    std::vector<std::string> missing;
    for (size_t k = 0; k < keys.size(); ++k) {
        if (!written[k]) {
            missing.push_back(std::string(keys[k].name) + " = " + formatValue(keys[k].key, settings));
        }
    }
    if (insertAt == std::string::npos) {
        while (!out.empty() && trim(out.back()).empty()) {
            out.pop_back();
        }
        if (!out.empty()) {
            out.emplace_back();
        }
        out.push_back("[" + std::string(sectionName) + "]");
        insertAt = out.size();
    }
    out.insert(out.begin() + static_cast<std::ptrdiff_t>(insertAt), missing.begin(), missing.end());

    const char* eol = lines.crlf ? "\r\n" : "\n";
    std::string text = lines.bom ? "\xEF\xBB\xBF" : "";
    for (const std::string& line : out) {
        text += line;
        text += eol;
    }
    return text;
}

} // namespace vl::config
