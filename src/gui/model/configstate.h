#ifndef VL_MODEL_CONFIGSTATE_H
#define VL_MODEL_CONFIGSTATE_H

#include <QMap>
#include <QString>
#include <QVariant>

// One entry of a ConfigState: the value a control shows or sends, and whether
// the control is enabled. A lookup of a missing item yields an invalid value
// that is enabled.
class ConfigItem
{
public:
    ConfigItem() = default;
    ConfigItem(const QVariant& value, bool enabled)
        : value(value)
        , enabled(enabled)
    {
    }

    QVariant value;
    bool enabled = true;
};

// Every change and every refresh travels as a map from item name to item.
// Keys are ordered by QString comparison.
using ConfigState = QMap<QString, ConfigItem>;

// The item names; exact ASCII keys, never translated.
namespace ItemName {
inline const QString AudioType = QStringLiteral("Audio Type");
inline const QString RestorePreset = QStringLiteral("Restore Preset");
inline const QString Layer = QStringLiteral("Layer");
inline const QString Mode = QStringLiteral("Mode");
inline const QString AudioFrequency = QStringLiteral("Audio Frequency");
inline const QString Bitrate = QStringLiteral("Bitrate");
inline const QString PsychModel = QStringLiteral("Psych Model");
inline const QString Emphasis = QStringLiteral("Emphasis");
inline const QString Private = QStringLiteral("Private");
inline const QString ErrorProtection = QStringLiteral("Error Protection");
inline const QString Copyright = QStringLiteral("Copyright");
inline const QString Original = QStringLiteral("Original");
} // namespace ItemName

#endif
