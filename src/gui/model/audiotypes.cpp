#include "audiotypes.h"

#include <QCoreApplication>
#include <algorithm>
#include <utility>

const std::array<AudioTypeSource, 20>& audioTypeSources()
{
    static const std::array<AudioTypeSource, 20> sources = { {
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "AVC HD"), 44 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-1"), 0 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-1 VideoCD"), 1 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-1 DVD"), 13 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-1 DVD-VR"), 15 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-2"), 2 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-2 SuperVCD"), 3 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-2 DVD"), 4 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-2 DVD-VR"), 14 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-2 DVB"), 8 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-2 MICROMV"), 9 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-2 DVHS"), 10 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-2 ATSC"), 11 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-2 ATSC high"), 12 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-2 HDV HD1"), 18 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-2 HDV HD2"), 19 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-2 D10"), 23 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-2 CableLabs"), 24 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-2 HD DVD"), 25 },
        { QT_TRANSLATE_NOOP("MPAEncoderDlg", "MPEG-2 Blu-ray Disc"), 27 },
    } };
    return sources;
}

int32_t normalizeAudioType(int32_t id)
{
    // Old ids and the host family's extended ids (0x1000 and up) -> the
    // audio type that replaced them.
    static constexpr std::pair<int32_t, int32_t> replacements[] = {
        { 16, 14 },
        { 17, 15 },
        { 20, 23 },
        { 21, 23 },
        { 23, 23 },
        { 26, 27 },
        { 0x1000, 1 },
        { 0x1001, 3 },
        { 0x1010, 4 },
        { 0x1011, 13 },
        { 0x1012, 14 },
        { 0x1013, 15 },
        { 0x1014, 16 },
        { 0x1015, 17 },
        { 0x1020, 8 },
        { 0x1021, 9 },
        { 0x1022, 10 },
        { 0x1023, 11 },
        { 0x1024, 12 },
        { 0x1025, 24 },
        { 0x1030, 18 },
        { 0x1031, 19 },
        { 0x1040, 20 },
        { 0x1041, 21 },
        { 0x1042, 22 },
        { 0x1043, 23 },
        { 0x2000, 25 },
        { 0x2800, 44 },
        { 0x3000, 26 },
        { 0x3001, 27 },
    };
    const auto found = std::find_if(std::begin(replacements), std::end(replacements),
        [id](const std::pair<int32_t, int32_t>& entry) { return entry.first == id; });
    return found != std::end(replacements) ? found->second : 2;
}

QString presetName(const PresetMap& presets, int32_t id)
{
    for (auto it = presets.cbegin(); it != presets.cend(); ++it) {
        if (it.value() == id)
            return it.key();
    }
    return QString();
}
