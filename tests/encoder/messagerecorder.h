// A callback table that records every report of the settings check: the raw
// format (to tell which message it was), the formatted text and the level.
#ifndef VL_TESTS_MESSAGERECORDER_H
#define VL_TESTS_MESSAGERECORDER_H

#include "encodermessages.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
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
        m_callbacks.context = this;
        m_callbacks.errorPrintf = &MessageRecorder::onError;
        m_callbacks.warningPrintf = &MessageRecorder::onWarning;
        m_callbacks.infoPrintf = &MessageRecorder::onInfo;
        m_callbacks.silentPrintf = &MessageRecorder::onSilent;
    }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    EncoderCallbacks* callbacks() { return &m_callbacks; }
    const std::vector<RecordedMessage>& messages() const { return m_messages; }
    int silentCount() const { return m_silent; }

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

    void clear() { m_messages.clear(); }

    static vl::enc::MessageId idOf(const std::string& format)
    {
        for (const vl::enc::MessageText& m : vl::enc::kMessages) {
            if (format == m.format)
                return m.id;
        }
        return vl::enc::MessageId::Count;
    }

private:
    static void record(void* context, vl::enc::MessageLevel level, const char* format, va_list args)
    {
        char buffer[1024];
        std::vsnprintf(buffer, sizeof buffer, format, args);
        static_cast<MessageRecorder*>(context)->m_messages.push_back({ level, format, buffer });
    }
    static void onError(void* context, const char* format, ...)
    {
        va_list args;
        va_start(args, format);
        record(context, vl::enc::MessageLevel::Error, format, args);
        va_end(args);
    }
    static void onWarning(void* context, const char* format, ...)
    {
        va_list args;
        va_start(args, format);
        record(context, vl::enc::MessageLevel::Warning, format, args);
        va_end(args);
    }
    static void onInfo(void* context, const char* format, ...)
    {
        va_list args;
        va_start(args, format);
        record(context, vl::enc::MessageLevel::Info, format, args);
        va_end(args);
    }
    static void onSilent(void* context, const char*, ...) { ++static_cast<MessageRecorder*>(context)->m_silent; }

    EncoderCallbacks m_callbacks {};
    std::vector<RecordedMessage> m_messages;
    int m_silent = 0;
};

#endif
