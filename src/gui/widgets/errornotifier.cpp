#include "errornotifier.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The number of bytes a UTF-8 sequence has by its first byte, or 0 for a
// byte that cannot start one.
int utf8SequenceSize(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// The size of the well-formed UTF-8 sequence at the start of [bytes, end),
// or 0 when none starts there. Well-formed as Unicode defines it: no overlong
// forms, no surrogates, nothing above U+10FFFF.
int wellFormedSize(const unsigned char* bytes, const unsigned char* end)
{
    const int size = utf8SequenceSize(bytes[0]);
    if (size <= 1 || end - bytes < size)
        return size == 1 ? 1 : 0;
    const unsigned char low = bytes[0] == 0xE0 ? 0xA0 : bytes[0] == 0xF0 ? 0x90 : 0x80;
    const unsigned char high = bytes[0] == 0xED ? 0x9F : bytes[0] == 0xF4 ? 0x8F : 0xBF;
    if (bytes[1] < low || bytes[1] > high)
        return 0;
    for (int i = 2; i < size; ++i) {
        if (bytes[i] < 0x80 || bytes[i] > 0xBF)
            return 0;
    }
    return size;
}

// The length of a cut report without the first bytes of a character that
// the cut split.
int withoutSplitCharacter(const char* text, int length)
{
    for (int start = length - 1; start >= 0 && start >= length - 3; --start) {
        const auto byte = static_cast<unsigned char>(text[start]);
        if (byte < 0x80 || byte > 0xBF)
            return length - start < utf8SequenceSize(byte) ? start : length;
    }
    return length;
}

// Report bytes as text: UTF-8, and where a byte starts no well-formed
// sequence, that byte as its Latin-1 character, which is how 8-bit text was
// taken before reports could be UTF-8.
QString reportText(const char* text, int length)
{
    QString result;
    result.reserve(length);
    const auto* bytes = reinterpret_cast<const unsigned char*>(text);
    const auto* const end = bytes + length;
    const auto* run = bytes; // start of the well-formed run not yet converted
    while (bytes < end) {
        const int size = wellFormedSize(bytes, end);
        if (size > 0) {
            bytes += size;
            continue;
        }
        result += QString::fromUtf8(reinterpret_cast<const char*>(run), int(bytes - run));
        result += QChar(*bytes);
        run = ++bytes;
    }
    result += QString::fromUtf8(reinterpret_cast<const char*>(run), int(bytes - run));
    return result;
}

} // namespace

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
    int length = written < 0 ? 0 : qMin(written, ReportBufferSize - 2);
    // A report ends at its first NUL byte, like the C string it is.
    const int text = int(qstrnlen(buffer, uint(length)));
    if (text < length)
        length = text;
    else if (written > length)
        length = withoutSplitCharacter(buffer, length);

    emit logEvent(reportText(buffer, length) + QLatin1Char('\n'), level, QPrivateSignal());
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
