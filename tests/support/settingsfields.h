#ifndef VL_SUPPORT_SETTINGSFIELDS_H
#define VL_SUPPORT_SETTINGSFIELDS_H

#include <QString>
#include <QStringList>
#include <cstring>
#include <utility>
#include <veltrano/mpa_settings.h>

// The named fields of a settings block, for test rows that spell blocks as
// "name=value name=value".
inline const std::pair<const char*, int32_t EncoderSettings::*> settingsFields[] = { { "mode", &EncoderSettings::mode },
    { "layer", &EncoderSettings::layer }, { "psychModel", &EncoderSettings::psychModel },
    { "bitrateIndex", &EncoderSettings::bitrateIndex }, { "emphasis", &EncoderSettings::emphasis },
    { "privateBit", &EncoderSettings::privateBit }, { "errorProtection", &EncoderSettings::errorProtection },
    { "copyrightBit", &EncoderSettings::copyrightBit }, { "originalBit", &EncoderSettings::originalBit },
    { "audioType", &EncoderSettings::audioType }, { "sampleFrequency", &EncoderSettings::sampleFrequency } };

// `settings` with the fields of `values` ("layer=1 mode=3", numbers in C
// notation) set.
inline EncoderSettings withFields(EncoderSettings settings, const QString& values)
{
    for (const QString& pair : values.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        for (const auto& [name, member] : settingsFields) {
            if (pair.section(QLatin1Char('='), 0, 0) == QLatin1String(name))
                settings.*member = pair.section(QLatin1Char('='), 1).toInt(nullptr, 0);
        }
    }
    return settings;
}

// Empty when the blocks are equal byte for byte; else the fields that differ
// ("mode 3, expected 1"), or that bytes outside the named fields do.
inline QString blockDifference(const EncoderSettings& actual, const EncoderSettings& expected)
{
    QStringList differences;
    for (const auto& [name, member] : settingsFields) {
        if (actual.*member != expected.*member)
            differences << QStringLiteral("%1 %2, expected %3")
                               .arg(QLatin1String(name))
                               .arg(actual.*member)
                               .arg(expected.*member);
    }
    if (differences.isEmpty() && std::memcmp(&actual, &expected, sizeof actual) != 0)
        differences << QStringLiteral("bytes outside the named fields");
    return differences.join(QLatin1String("; "));
}

#endif
