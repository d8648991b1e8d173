#include "errornotifier.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

ErrorNotifier* ErrorNotifier::instance()
{
    // Deliberately leaked: the encoder may hold the table's address for as
    // long as the library is loaded.
    static ErrorNotifier* const notifier = new ErrorNotifier;
    return notifier;
}

ErrorNotifier::ErrorNotifier()
{
    // A queued connection to logEvent needs the level type registered.
    qRegisterMetaType<MessageLevel>("MessageLevel");

    std::memset(&callbacks, 0, sizeof callbacks);
    callbacks.alloc = &ErrorNotifier::allocBlock;
    callbacks.free = &ErrorNotifier::freeBlock;
    callbacks.errorPrintf = &ErrorNotifier::errorPrintf;
    callbacks.silentPrintf = &ErrorNotifier::silentPrintf;
    callbacks.warningPrintf = &ErrorNotifier::warningPrintf;
    callbacks.infoPrintf = &ErrorNotifier::infoPrintf;
}

void ErrorNotifier::report(MessageLevel level, const char* format, va_list args)
{
    if (translateHook) {
        if (const char* const replacement = translateHook(format))
            format = replacement;
    }

    // Room is kept for the line feed and the terminating zero, so an
    // over-long report is cut instead of overrunning the buffer.
    char buffer[ReportBufferSize];
    const int written = std::vsnprintf(buffer, sizeof buffer - 1, format, args);
    const int length = written < 0 ? 0 : qMin(written, ReportBufferSize - 2);
    buffer[length] = '\n';
    buffer[length + 1] = '\0';

    emit logEvent(QString::fromLatin1(buffer, length + 1), level, QPrivateSignal());
}

void* ErrorNotifier::allocBlock(void* /*context*/, size_t size)
{
    return std::malloc(size);
}

void ErrorNotifier::freeBlock(void* /*context*/, void* block)
{
    std::free(block);
}

void ErrorNotifier::errorPrintf(void* /*context*/, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    instance()->report(Error, format, args);
    va_end(args);
}

void ErrorNotifier::silentPrintf(void* /*context*/, const char* /*format*/, ...) { }

void ErrorNotifier::warningPrintf(void* /*context*/, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    instance()->report(Warning, format, args);
    va_end(args);
}

void ErrorNotifier::infoPrintf(void* /*context*/, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    instance()->report(Info, format, args);
    va_end(args);
}
