#include "valuetables.h"

#include <QCoreApplication>

namespace ValueTables {

const char* const layerSources[] = {
    QT_TRANSLATE_NOOP("QObject", "Layer 1"),
    QT_TRANSLATE_NOOP("QObject", "Layer 2"),
    nullptr,
};

const char* const modeSources[] = {
    QT_TRANSLATE_NOOP("QObject", "Stereo"),
    QT_TRANSLATE_NOOP("QObject", "Joint Stereo"),
    QT_TRANSLATE_NOOP("QObject", "Dual Channel"),
    QT_TRANSLATE_NOOP("QObject", "Mono"),
    nullptr,
};

const char* const psychModelSources[] = {
    QT_TRANSLATE_NOOP("QObject", "Model 1"),
    QT_TRANSLATE_NOOP("QObject", "Model 2"),
    nullptr,
};

const char* const emphasisSources[] = {
    QT_TRANSLATE_NOOP("QObject", "Off"),
    QT_TRANSLATE_NOOP("QObject", "50/15 \xB5s"),
    QT_TRANSLATE_NOOP("QObject", "CCITT J.17"),
    nullptr,
};

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

bool isLowSamplingFrequency(int32_t hz)
{
    return hz == 16000 || hz == 22050 || hz == 24000;
}

const char* const* bitrateTable(int32_t sampleFrequency, bool layer1)
{
    if (isLowSamplingFrequency(sampleFrequency))
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
