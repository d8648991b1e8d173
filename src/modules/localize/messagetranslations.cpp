#include "messagetranslations.h"

#include <string_view>
#include <unordered_map>

namespace vl::localize {

namespace {

using encoder::MessageId;

struct Translation
{
    MessageId id;
    const char* text;
};

constexpr Translation german[] = {
    { MessageId::NoSettings, "Es wurden keine Einstellungen zur Prüfung übergeben." },
    { MessageId::LayerInvalid, "Layer %d wird nicht unterstützt; wählen Sie Layer I (1) oder Layer II (2)." },
    { MessageId::PsychModelInvalid, "Das psychoakustische Modell %d gibt es nicht; wählen Sie Modell 1 oder 2." },
    { MessageId::ModeInvalid,
        "Der Kanalmodus %d ist nicht definiert; wählen Sie 0 (Stereo), 1 (Joint Stereo), 2 (Zweikanal) oder 3 "
        "(Mono)." },
    { MessageId::BitrateFreeFormat,
        "Bitratenindex 0 steht für das freie Format, das der Encoder nicht schreibt; wählen Sie einen "
        "Bitratenindex von 1 bis 14." },
    { MessageId::BitrateIndexInvalid,
        "Der Bitratenindex %d liegt außerhalb der Bitratentabellen von ISO/IEC 11172-3 und 13818-3; wählen Sie "
        "einen Bitratenindex von 1 bis 14." },
    { MessageId::EmphasisReserved,
        "Emphasis 2 ist in ISO/IEC 11172-3 reserviert; wählen Sie 0 (keine), 1 (50/15 Mikrosekunden) oder 3 "
        "(CCITT J.17)." },
    { MessageId::EmphasisInvalid,
        "Emphasis %d ist nicht definiert; wählen Sie 0 (keine), 1 (50/15 Mikrosekunden) oder 3 (CCITT J.17)." },
    { MessageId::SampleFrequencyInvalid,
        "Die Abtastrate %d Hz ist für MPEG-Audio nicht definiert; wählen Sie 32000, 44100 oder 48000 Hz (MPEG-1) "
        "oder 16000, 22050 oder 24000 Hz (niedrige Abtastraten von MPEG-2)." },
    { MessageId::MonoBitrateTooHigh,
        "Die Bitrate %d kbit/s ist für Mono in MPEG-1 Layer II nicht zulässig; wählen Sie 32 bis 192 kbit/s." },
    { MessageId::StereoBitrateNotAllowed,
        "Die Bitrate %d kbit/s ist für Stereo in MPEG-1 Layer II nicht zulässig; wählen Sie 64 kbit/s oder mehr, "
        "außer 80 kbit/s." },
    { MessageId::JointStereoBitrateNotAllowed,
        "Die Bitrate %d kbit/s ist für Joint Stereo in MPEG-1 Layer II nicht zulässig; wählen Sie 64 kbit/s oder "
        "mehr, außer 80 kbit/s." },
    { MessageId::DualChannelBitrateNotAllowed,
        "Die Bitrate %d kbit/s ist für Zweikanalton in MPEG-1 Layer II nicht zulässig; wählen Sie 64 kbit/s oder "
        "mehr, außer 80 kbit/s." },
    { MessageId::PrivateBitInvalid, "Das Private-Bit ist %d; es muss 0 oder 1 sein." },
    { MessageId::CopyrightBitInvalid, "Das Copyright-Bit ist %d; es muss 0 oder 1 sein." },
    { MessageId::OriginalBitInvalid, "Das Original-Bit ist %d; es muss 0 oder 1 sein." },
    { MessageId::ErrorProtectionInvalid, "Der Fehlerschutz ist %d; er muss 0 (aus) oder 1 (ein) sein." },
    { MessageId::FormatNeedsLayer2, "Layer I ist für %s nicht zulässig; wählen Sie Layer II." },
    { MessageId::FormatFrequencyOnly, "Die Abtastrate %d Hz ist für %s nicht zulässig; verwenden Sie %d Hz." },
    { MessageId::FormatFrequencyMpeg1,
        "Die Abtastrate %d Hz ist für %s nicht zulässig; verwenden Sie 32000, 44100 oder 48000 Hz." },
    { MessageId::FormatBitrateOnly, "Die Bitrate %d kbit/s ist für %s nicht zulässig; verwenden Sie %d kbit/s." },
    { MessageId::FormatMonoBitrateRange,
        "Die Bitrate %d kbit/s ist für Mono bei %s nicht zulässig; wählen Sie %d bis %d kbit/s." },
    { MessageId::FormatTwoChannelBitrateRange,
        "Die Bitrate %d kbit/s ist für zwei Kanäle bei %s nicht zulässig; wählen Sie %d bis %d kbit/s." },
    { MessageId::FormatMonoNotAllowed,
        "Mono ist für %s nicht zulässig; wählen Sie Stereo, Joint Stereo oder Zweikanal." },
    { MessageId::FormatStereoOnlyJointStereo, "Joint Stereo ist für %s nicht zulässig; wählen Sie Stereo." },
    { MessageId::FormatStereoOnlyDualChannel, "Zweikanalton ist für %s nicht zulässig; wählen Sie Stereo." },
    { MessageId::FormatStereoOnlyMono, "Mono ist für %s nicht zulässig; wählen Sie Stereo." },
    { MessageId::FormatWithoutMpegAudio,
        "%s sieht in seiner Spezifikation kein MPEG-Audio vor (sondern %s); Abspielgeräte lehnen diesen Ton "
        "möglicherweise ab." },
    { MessageId::UnknownAudioType,
        "Der Audiotyp %d ist unbekannt; geprüft wurden nur die Regeln von ISO/IEC 11172-3 und 13818-3." },
    { MessageId::SummaryStereo, "MPEG-%d Layer %s, %s kHz, %d kbit/s, Stereo." },
    { MessageId::SummaryJointStereo, "MPEG-%d Layer %s, %s kHz, %d kbit/s, Joint Stereo." },
    { MessageId::SummaryDualChannel, "MPEG-%d Layer %s, %s kHz, %d kbit/s, Zweikanalton." },
    { MessageId::SummaryMono, "MPEG-%d Layer %s, %s kHz, %d kbit/s, Mono." },
};

constexpr Translation japanese[] = {
    { MessageId::NoSettings, "チェックする設定が渡されていません。" },
    { MessageId::LayerInvalid,
        "レイヤー %d には対応していません。レイヤー I (1) またはレイヤー II (2) を選択してください。" },
    { MessageId::PsychModelInvalid, "心理音響モデル %d は存在しません。モデル 1 または 2 を選択してください。" },
    { MessageId::ModeInvalid,
        "チャンネルモード %d は定義されていません。0 (ステレオ)、1 (ジョイントステレオ)、2 "
        "(デュアルチャンネル)、3 (モノラル) のいずれかを選択してください。" },
    { MessageId::BitrateFreeFormat,
        "ビットレートインデックス 0 はフリーフォーマットを表し、このエンコーダーでは出力できません。1～14 "
        "のビットレートインデックスを選択してください。" },
    { MessageId::BitrateIndexInvalid,
        "ビットレートインデックス %d は ISO/IEC 11172-3 および 13818-3 のビットレート表の範囲外です。1～14 "
        "のビットレートインデックスを選択してください。" },
    { MessageId::EmphasisReserved,
        "エンファシス 2 は ISO/IEC 11172-3 で予約されています。0 (なし)、1 (50/15 マイクロ秒)、3 (CCITT J.17) "
        "のいずれかを選択してください。" },
    { MessageId::EmphasisInvalid,
        "エンファシス %d は定義されていません。0 (なし)、1 (50/15 マイクロ秒)、3 (CCITT J.17) "
        "のいずれかを選択してください。" },
    { MessageId::SampleFrequencyInvalid,
        "サンプリング周波数 %d Hz は MPEG オーディオでは定義されていません。32000、44100、48000 Hz (MPEG-1) "
        "または 16000、22050、24000 Hz (MPEG-2 の低サンプリング周波数) を選択してください。" },
    { MessageId::MonoBitrateTooHigh,
        "ビットレート %d kbps は MPEG-1 レイヤー II のモノラルでは使用できません。32～192 kbps "
        "を選択してください。" },
    { MessageId::StereoBitrateNotAllowed,
        "ビットレート %d kbps は MPEG-1 レイヤー II のステレオでは使用できません。80 kbps を除く 64 kbps "
        "以上を選択してください。" },
    { MessageId::JointStereoBitrateNotAllowed,
        "ビットレート %d kbps は MPEG-1 レイヤー II のジョイントステレオでは使用できません。80 kbps を除く 64 "
        "kbps 以上を選択してください。" },
    { MessageId::DualChannelBitrateNotAllowed,
        "ビットレート %d kbps は MPEG-1 レイヤー II のデュアルチャンネルでは使用できません。80 kbps を除く 64 "
        "kbps 以上を選択してください。" },
    { MessageId::PrivateBitInvalid, "プライベートビットが %d です。0 または 1 にしてください。" },
    { MessageId::CopyrightBitInvalid, "著作権ビットが %d です。0 または 1 にしてください。" },
    { MessageId::OriginalBitInvalid, "オリジナルビットが %d です。0 または 1 にしてください。" },
    { MessageId::ErrorProtectionInvalid, "エラー保護が %d です。0 (オフ) または 1 (オン) にしてください。" },
    { MessageId::FormatNeedsLayer2, "%s ではレイヤー I は使用できません。レイヤー II を選択してください。" },
    { MessageId::FormatFrequencyOnly, "サンプリング周波数 %d Hz は %s では使用できません。%d Hz を使用してください。" },
    { MessageId::FormatFrequencyMpeg1,
        "サンプリング周波数 %d Hz は %s では使用できません。32000、44100、48000 Hz "
        "のいずれかを使用してください。" },
    { MessageId::FormatBitrateOnly, "ビットレート %d kbps は %s では使用できません。%d kbps を使用してください。" },
    { MessageId::FormatMonoBitrateRange,
        "ビットレート %d kbps は %s のモノラルでは使用できません。%d～%d kbps を選択してください。" },
    { MessageId::FormatTwoChannelBitrateRange,
        "ビットレート %d kbps は %s の 2 チャンネル音声では使用できません。%d～%d kbps を選択してください。" },
    { MessageId::FormatMonoNotAllowed,
        "%s ではモノラルは使用できません。ステレオ、ジョイントステレオ、デュアルチャンネルのいずれかを選択してくだ"
        "さい。" },
    { MessageId::FormatStereoOnlyJointStereo,
        "%s ではジョイントステレオは使用できません。ステレオを選択してください。" },
    { MessageId::FormatStereoOnlyDualChannel,
        "%s ではデュアルチャンネルは使用できません。ステレオを選択してください。" },
    { MessageId::FormatStereoOnlyMono, "%s ではモノラルは使用できません。ステレオを選択してください。" },
    { MessageId::FormatWithoutMpegAudio,
        "%s の規格には MPEG オーディオがありません (使用されるのは %s "
        "です)。このオーディオは再生機器で拒否される可能性があります。" },
    { MessageId::UnknownAudioType,
        "オーディオタイプ %d は不明です。ISO/IEC 11172-3 および 13818-3 の規則のみをチェックしました。" },
    { MessageId::SummaryStereo, "MPEG-%d レイヤー %s、%s kHz、%d kbps、ステレオ。" },
    { MessageId::SummaryJointStereo, "MPEG-%d レイヤー %s、%s kHz、%d kbps、ジョイントステレオ。" },
    { MessageId::SummaryDualChannel, "MPEG-%d レイヤー %s、%s kHz、%d kbps、デュアルチャンネル。" },
    { MessageId::SummaryMono, "MPEG-%d レイヤー %s、%s kHz、%d kbps、モノラル。" },
};

template<std::size_t N>
constexpr bool coversEveryMessageInOrder(const Translation (&table)[N])
{
    if (N != encoder::messageCount)
        return false;
    for (std::size_t i = 0; i < N; ++i) {
        if (static_cast<std::size_t>(table[i].id) != i)
            return false;
    }
    return true;
}
static_assert(coversEveryMessageInOrder(german), "German table must have one row per message, in id order");
static_assert(coversEveryMessageInOrder(japanese), "Japanese table must have one row per message, in id order");

} // namespace

Language languageFromNumber(std::uint16_t number)
{
    switch (number & 0x3ff) {
    case 7:
        return Language::German;
    case 17:
        return Language::Japanese;
    default:
        return Language::Untranslated;
    }
}

const char* translation(Language language, encoder::MessageId id)
{
    const auto index = static_cast<std::size_t>(id);
    if (index >= encoder::messageCount)
        return nullptr;
    switch (language) {
    case Language::German:
        return german[index].text;
    case Language::Japanese:
        return japanese[index].text;
    case Language::Untranslated:
        break;
    }
    return nullptr;
}

encoder::MessageId findMessage(const char* text)
{
    static const std::unordered_map<std::string_view, MessageId> index = [] {
        std::unordered_map<std::string_view, MessageId> map;
        for (const encoder::MessageText& m : encoder::messageTexts)
            map.emplace(m.format, m.id);
        return map;
    }();
    if (!text)
        return MessageId::Count;
    const auto it = index.find(text);
    return it == index.end() ? MessageId::Count : it->second;
}

const char* convert(Language language, const char* text)
{
    if (language == Language::Untranslated)
        return text;
    const char* translated = translation(language, findMessage(text));
    return translated ? translated : text;
}

} // namespace vl::localize
