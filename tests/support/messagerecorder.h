// A callback table that records every report of the settings check: the raw
// format (to tell which message it was), the formatted text and the level.
#ifndef VL_TESTS_MESSAGERECORDER_H
#define VL_TESTS_MESSAGERECORDER_H

#include "encodermessages.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>
#include <veltrano/mpa_modules.h>

struct RecordedMessage
{
    vl::enc::MessageLevel level;
    std::string format;
    std::string text;
};

class MessageRecorder
{
public:
    MessageRecorder()
    {
        using vl::enc::MessageLevel;
        m_callbacks.context = this;
        m_callbacks.errorPrintf = &MessageRecorder::record<MessageLevel::Error>;
        m_callbacks.warningPrintf = &MessageRecorder::record<MessageLevel::Warning>;
        m_callbacks.infoPrintf = &MessageRecorder::record<MessageLevel::Info>;
    }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    EncoderCallbacks* callbacks() { return &m_callbacks; }
    const std::vector<RecordedMessage>& messages() const { return m_messages; }

    int count(vl::enc::MessageLevel level) const
    {
        int n = 0;
        for (const RecordedMessage& m : m_messages)
            n += m.level == level;
        return n;
    }

    // The ids of the reported messages, in order of report.
    std::vector<vl::enc::MessageId> ids() const
    {
        std::vector<vl::enc::MessageId> result;
        for (const RecordedMessage& m : m_messages)
            result.push_back(idOf(m.format));
        return result;
    }

    std::string allText() const
    {
        std::string text;
        for (const RecordedMessage& m : m_messages)
            text += m.text + "\n";
        return text;
    }

    static vl::enc::MessageId idOf(const std::string& format)
    {
        for (const vl::enc::MessageText& m : vl::enc::kMessages) {
            if (format == m.format)
                return m.id;
        }
        return vl::enc::MessageId::Count;
    }

private:
    template<vl::enc::MessageLevel level>
    static void record(void* context, const char* format, ...)
    {
        char buffer[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        static_cast<MessageRecorder*>(context)->m_messages.push_back({ level, format, buffer });
    }

    EncoderCallbacks m_callbacks {};
    std::vector<RecordedMessage> m_messages;
};

#endif
