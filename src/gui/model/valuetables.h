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

// 16000, 22050 and 24000 Hz select the lower sampling frequencies of
// ISO/IEC 13818-3; every other value selects MPEG-1.
bool isLowSamplingFrequency(int32_t hz);

// The bitrate table (kbps as plain ASCII) of the MPEG version selected by the
// frequency and of Layer I or II: 16 slots indexed by bitrate_index, slots 0
// (free format) and 15 (forbidden) null.
const char* const* bitrateTable(int32_t sampleFrequency, bool layer1);

// The string in slot `index` of a table, or an empty string for a slot
// without one, including indices outside 0..15.
QString bitrateText(const char* const* table, int32_t index);

// The slot (1..14) of the first string equal to `text`, or 0 when none is.
int32_t bitrateIndexOf(const char* const* table, const QString& text);

} // namespace ValueTables

#endif
