#ifndef VL_SUPPORT_SETTINGSFIELDS_H
#define VL_SUPPORT_SETTINGSFIELDS_H

#include <QStringList>
#include <cstring>
#include <utility>
#include <veltrano/mpa_settings.h>

// Blocks spelt "name=value name=value" (numbers in C notation).
inline const std::pair<const char*, int32_t EncoderSettings::*> settingsFields[] = { { "mode", &EncoderSettings::mode },
    { "layer", &EncoderSettings::layer }, { "psychModel", &EncoderSettings::psychModel },
    { "bitrateIndex", &EncoderSettings::bitrateIndex }, { "emphasis", &EncoderSettings::emphasis },
    { "privateBit", &EncoderSettings::privateBit }, { "errorProtection", &EncoderSettings::errorProtection },
    { "copyrightBit", &EncoderSettings::copyrightBit }, { "originalBit", &EncoderSettings::originalBit },
    { "audioType", &EncoderSettings::audioType }, { "sampleFrequency", &EncoderSettings::sampleFrequency } };

inline EncoderSettings withFields(EncoderSettings settings, const QString& values)
{
    for (const QString& pair : values.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        for (const auto& [name, member] : settingsFields)
            if (pair.section(QLatin1Char('='), 0, 0) == QLatin1String(name))
                settings.*member = pair.section(QLatin1Char('='), 1).toInt(nullptr, 0);
    return settings;
}

// Every byte known (a pattern shows any write): MPEG-1 Layer II joint stereo 224 kbps 48 kHz, model 1, then `values`.
inline EncoderSettings hostBlock(const QString& values = QString())
{
    EncoderSettings settings;
    auto* const bytes = reinterpret_cast<unsigned char*>(&settings);
    for (size_t i = 0; i < sizeof settings; ++i)
        bytes[i] = static_cast<unsigned char>((i * 7 + 3) % 251);
    return withFields(settings,
        "layer=2 mode=1 psychModel=1 bitrateIndex=11 emphasis=0 privateBit=0 errorProtection=0 "
        "copyrightBit=0 originalBit=0 audioType=0 sampleFrequency=48000 "
            + values);
}

// Empty when equal byte for byte; else the fields that differ ("mode 3, expected 1").
inline QString blockDifference(const EncoderSettings& actual, const EncoderSettings& expected)
{
    QStringList differences;
    for (const auto& [name, member] : settingsFields)
        if (actual.*member != expected.*member)
            differences << QStringLiteral("%1 %2, expected %3").arg(name).arg(actual.*member).arg(expected.*member);
    if (differences.isEmpty() && std::memcmp(&actual, &expected, sizeof actual) != 0)
        differences << QStringLiteral("bytes outside the named fields");
    return differences.join(QLatin1String("; "));
}

#endif
