// A callback table that records every report of the settings check: the
// message it was (told by its format), the level and the formatted text.
#ifndef VL_ENCODER_MESSAGERECORDER_H
#define VL_ENCODER_MESSAGERECORDER_H

#include "encodermessages.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>
#include <veltrano/mpa_modules.h>

class MessageRecorder
{
public:
    using MessageId = vl::encoder::MessageId;
    using MessageLevel = vl::encoder::MessageLevel;

    MessageRecorder()
    {
        table.context = this;
        table.errorPrintf = &MessageRecorder::record<MessageLevel::Error>;
        table.warningPrintf = &MessageRecorder::record<MessageLevel::Warning>;
        table.infoPrintf = &MessageRecorder::record<MessageLevel::Info>;
    }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    EncoderCallbacks* callbacks() { return &table; }

    // Reports in order; MessageId::Count for a format that is no message's,
    // or one reported at another level than its message's.
    std::vector<MessageId> ids;
    std::vector<MessageLevel> levels;
    std::string text; // every report, one per line

    int count(MessageLevel level) const { return int(std::count(levels.begin(), levels.end(), level)); }

private:
    template<MessageLevel level>
    static void record(void* context, const char* format, ...)
    {
        auto* const self = static_cast<MessageRecorder*>(context);
        MessageId id = MessageId::Count;
        for (const vl::encoder::MessageText& m : vl::encoder::messageTexts) {
            if (std::string(format) == m.format && m.level == level)
                id = m.id;
        }
        char buffer[1024];
        va_list args;
        va_start(args, format);
        std::vsnprintf(buffer, sizeof buffer, format, args);
        va_end(args);
        self->ids.push_back(id);
        self->levels.push_back(level);
        self->text += std::string(buffer) + "\n";
    }

    EncoderCallbacks table {};
};

#endif
