// A callback table that records every report of the settings check: the raw
// format (to tell which message it was), the formatted text and the level.
#ifndef VL_SUPPORT_MESSAGERECORDER_H
#define VL_SUPPORT_MESSAGERECORDER_H

#include "encodermessages.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>
#include <veltrano/mpa_modules.h>

struct RecordedMessage
{
    vl::encoder::MessageLevel level;
    std::string format;
    std::string text;
};

class MessageRecorder
{
public:
    MessageRecorder()
    {
        using vl::encoder::MessageLevel;
        table.context = this;
        table.errorPrintf = &MessageRecorder::record<MessageLevel::Error>;
        table.warningPrintf = &MessageRecorder::record<MessageLevel::Warning>;
        table.infoPrintf = &MessageRecorder::record<MessageLevel::Info>;
    }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    EncoderCallbacks* callbacks() { return &table; }
    const std::vector<RecordedMessage>& messages() const { return recorded; }

    int count(vl::encoder::MessageLevel level) const
    {
        int n = 0;
        for (const RecordedMessage& m : recorded)
            n += m.level == level;
        return n;
    }

    // The ids of the reported messages, in order of report.
    std::vector<vl::encoder::MessageId> ids() const
    {
        std::vector<vl::encoder::MessageId> result;
        for (const RecordedMessage& m : recorded)
            result.push_back(idOf(m.format));
        return result;
    }

    std::string allText() const
    {
        std::string text;
        for (const RecordedMessage& m : recorded)
            text += m.text + "\n";
        return text;
    }

    static vl::encoder::MessageId idOf(const std::string& format)
    {
        for (const vl::encoder::MessageText& m : vl::encoder::messageTexts) {
            if (format == m.format)
                return m.id;
        }
        return vl::encoder::MessageId::Count;
    }

private:
    template<vl::encoder::MessageLevel level>
    static void record(void* context, const char* format, ...)
    {
        char buffer[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        static_cast<MessageRecorder*>(context)->recorded.push_back({ level, format, buffer });
    }

    EncoderCallbacks table {};
    std::vector<RecordedMessage> recorded;
};

#endif
