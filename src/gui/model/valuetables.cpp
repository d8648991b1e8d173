#include "valuetables.h"

#include <QCoreApplication>
#include <probe/mpegaudioheader.h>

namespace ValueTables {

namespace {

// The codes of a list's entries, in list order, and the entry that stands for
// a code the list lacks; a text that is not in the list takes that entry's
// code.
struct CodeMap
{
    int32_t codes[4];
    int fallback;
};

} // namespace

const char* const layerSources[] = {
    QT_TRANSLATE_NOOP("QObject", "Layer 1"),
    QT_TRANSLATE_NOOP("QObject", "Layer 2"),
    nullptr,
};
// Any code but 1 is Layer II.
constexpr CodeMap layerMap = { { 1, 2 }, 1 };

const char* const modeSources[] = {
    QT_TRANSLATE_NOOP("QObject", "Stereo"),
    QT_TRANSLATE_NOOP("QObject", "Joint Stereo"),
    QT_TRANSLATE_NOOP("QObject", "Dual Channel"),
    QT_TRANSLATE_NOOP("QObject", "Mono"),
    nullptr,
};
// Codes outside 0..3 show as stereo.
constexpr CodeMap modeMap = { { 0, 1, 2, 3 }, 0 };

const char* const psychModelSources[] = {
    QT_TRANSLATE_NOOP("QObject", "Model 1"),
    QT_TRANSLATE_NOOP("QObject", "Model 2"),
    nullptr,
};
// Any code but 1 is model 2.
constexpr CodeMap psychModelMap = { { 1, 2 }, 1 };

const char* const emphasisSources[] = {
    QT_TRANSLATE_NOOP("QObject", "Off"),
    QT_TRANSLATE_NOOP("QObject", "50/15 \xB5s"),
    QT_TRANSLATE_NOOP("QObject", "CCITT J.17"),
    nullptr,
};
// Code 3 sits at position 2; the reserved code 2 shows as "Off".
constexpr CodeMap emphasisMap = { { 0, 1, 3 }, 0 };

// Translated in the dialog's own context where they are shown.
const char* const windowTitles[2] = {
    QT_TRANSLATE_NOOP("MPAEncoderDlg", "Veltrano MPEG-1/2 Audio Encoder"),
    QT_TRANSLATE_NOOP("MPAEncoderDlg", "Veltrano MPEG-1/2 Audio Encoder Settings"),
};

namespace {

// ISO/IEC 11172-3 and 13818-3 bitrate_index -> kbps, slot 0 free format,
// slot 15 forbidden.
const char* const mpeg1Layer1Bitrates[16] = {
    nullptr,
    "32",
    "64",
    "96",
    "128",
    "160",
    "192",
    "224",
    "256",
    "288",
    "320",
    "352",
    "384",
    "416",
    "448",
    nullptr,
};
const char* const mpeg1Layer2Bitrates[16] = {
    nullptr,
    "32",
    "48",
    "56",
    "64",
    "80",
    "96",
    "112",
    "128",
    "160",
    "192",
    "224",
    "256",
    "320",
    "384",
    nullptr,
};
const char* const lsfLayer1Bitrates[16] = {
    nullptr,
    "32",
    "48",
    "56",
    "64",
    "80",
    "96",
    "112",
    "128",
    "144",
    "160",
    "176",
    "192",
    "224",
    "256",
    nullptr,
};
const char* const lsfLayer2Bitrates[16] = {
    nullptr,
    "8",
    "16",
    "24",
    "32",
    "40",
    "48",
    "56",
    "64",
    "80",
    "96",
    "112",
    "128",
    "144",
    "160",
    nullptr,
};

constexpr int32_t bitrateSlots = 16;

QString textOf(const QStringList& names, const CodeMap& map, int32_t code)
{
    for (int position = 0; position < names.size(); ++position) {
        if (map.codes[position] == code)
            return names.at(position);
    }
    return names.at(map.fallback);
}

int32_t codeOf(const QStringList& names, const CodeMap& map, const QString& text)
{
    const int position = names.indexOf(text);
    return map.codes[position >= 0 ? position : map.fallback];
}

QStringList translateAll(const char* const* sources)
{
    QStringList names;
    for (const char* const* source = sources; *source; ++source)
        names.append(translateLatin1("QObject", *source));
    return names;
}

// Builds the display texts while the library is loaded, as the texts must
// stay the same for the life of the library.
[[maybe_unused]] const bool namesBuiltAtLoad = (layerNames(), modeNames(), psychModelNames(), emphasisNames(), true);

} // namespace

QString translateLatin1(const char* context, const char* source)
{
    const QByteArray utf8 = QString::fromLatin1(source).toUtf8();
    return QCoreApplication::translate(context, utf8.constData());
}

const QStringList& layerNames()
{
    static const QStringList names = translateAll(layerSources);
    return names;
}

const QStringList& modeNames()
{
    static const QStringList names = translateAll(modeSources);
    return names;
}

const QStringList& psychModelNames()
{
    static const QStringList names = translateAll(psychModelSources);
    return names;
}

const QStringList& emphasisNames()
{
    static const QStringList names = translateAll(emphasisSources);
    return names;
}

QString layerText(int32_t code)
{
    return textOf(layerNames(), layerMap, code);
}

int32_t layerCode(const QString& text)
{
    return codeOf(layerNames(), layerMap, text);
}

QString modeText(int32_t code)
{
    return textOf(modeNames(), modeMap, code);
}

int32_t modeCode(const QString& text)
{
    return codeOf(modeNames(), modeMap, text);
}

QString psychModelText(int32_t code)
{
    return textOf(psychModelNames(), psychModelMap, code);
}

int32_t psychModelCode(const QString& text)
{
    return codeOf(psychModelNames(), psychModelMap, text);
}

QString emphasisText(int32_t code)
{
    return textOf(emphasisNames(), emphasisMap, code);
}

int32_t emphasisCode(const QString& text)
{
    return codeOf(emphasisNames(), emphasisMap, text);
}

const char* const* bitrateTable(int32_t sampleFrequency, bool layer1)
{
    if (vl::probe::isLowSamplingFrequency(sampleFrequency))
        return layer1 ? lsfLayer1Bitrates : lsfLayer2Bitrates;
    return layer1 ? mpeg1Layer1Bitrates : mpeg1Layer2Bitrates;
}

QString bitrateText(const char* const* table, int32_t index)
{
    if (index < 0 || index >= bitrateSlots || !table[index])
        return QString();
    return QString::fromLatin1(table[index]);
}

int32_t bitrateIndexOf(const char* const* table, const QString& text)
{
    for (int32_t slot = 1; slot < bitrateSlots && table[slot]; ++slot) {
        if (text == QLatin1String(table[slot]))
            return slot;
    }
    return 0;
}

} // namespace ValueTables
