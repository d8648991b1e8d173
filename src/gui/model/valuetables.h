#ifndef VL_MODEL_VALUETABLES_H
#define VL_MODEL_VALUETABLES_H

#include <QStringList>
#include <cstdint>

// The display texts of the coded fields of EncoderSettings and the bitrate
// tables of ISO/IEC 11172-3 and 13818-3. Every list is in the order in which
// the MPEG audio page offers the choices.
namespace ValueTables {

// Latin-1 source strings, null-terminated, in list order.
extern const char* const layerSources[]; // codes 1, 2
extern const char* const modeSources[]; // codes 0, 1, 2, 3
extern const char* const psychModelSources[]; // codes 1, 2
extern const char* const emphasisSources[]; // codes 0, 1, 3
extern const char* const windowTitles[2]; // question box title, dialog title

// Translates a Latin-1 source string in the given context. The translation
// call reads its source as UTF-8, so the text is converted first; otherwise
// the micro sign of "50/15 µs" would not survive an untranslated lookup.
QString translateLatin1(const char* context, const char* source);

// The source lists translated once in context "QObject" when the library is
// loaded; the change loop derives and compares these texts.
const QStringList& layerNames();
const QStringList& modeNames();
const QStringList& psychModelNames();
const QStringList& emphasisNames();

// Code -> display text and back for the four lists, by exact, case-sensitive
// comparison with the translated texts. A code a list lacks shows as its
// default entry (layer: "Layer 2", mode: "Stereo", model: "Model 2",
// emphasis: "Off"), and a text a list lacks gives that entry's code.
QString layerText(int32_t code);
int32_t layerCode(const QString& text);
QString modeText(int32_t code);
int32_t modeCode(const QString& text);
QString psychModelText(int32_t code);
int32_t psychModelCode(const QString& text);
QString emphasisText(int32_t code);
int32_t emphasisCode(const QString& text);

// The bitrate table (kbps as plain ASCII) of the MPEG version selected by the
// frequency (vl::probe::isLowSamplingFrequency) and of Layer I or II: 16 slots indexed by bitrate_index, slots 0
// (free format) and 15 (forbidden) null.
const char* const* bitrateTable(int32_t sampleFrequency, bool layer1);

// The string in slot `index` of a table, or an empty string for a slot
// without one, including indices outside 0..15.
QString bitrateText(const char* const* table, int32_t index);

// The slot (1..14) of the first string equal to `text`, or 0 when none is.
int32_t bitrateIndexOf(const char* const* table, const QString& text);

} // namespace ValueTables

#endif
