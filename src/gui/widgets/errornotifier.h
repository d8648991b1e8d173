#ifndef VL_WIDGETS_ERRORNOTIFIER_H
#define VL_WIDGETS_ERRORNOTIFIER_H

#include <QMetaType>
#include <QObject>
#include <QString>
#include <cstdarg>
#include <veltrano/mpa_modules.h>

// Severity of a message that the encoder's settings check reports.
// Fixed underlying type: any int may travel through the signal and is valid.
enum MessageLevel : int { Info = 0, Warning = 1, Error = 2 };
Q_DECLARE_METATYPE(MessageLevel)

// Process-wide bridge between the encoder module's printf-style callbacks and
// the dialog: every report made through `callbacks` becomes one logEvent.
class ErrorNotifier : public QObject
{
    Q_OBJECT

public:
    // Replaces a format text before it is used; null keeps the original.
    using TranslateHook = const char* (*)(const char* format);

    // The single notifier, created on first use and never destroyed, so the
    // callback table handed to the encoder stays valid for the process.
    static ErrorNotifier* instance();

    // Size of the buffer a single report is formatted into, line feed and
    // terminating zero included; longer reports are cut.
    static constexpr int ReportBufferSize = 544;

    TranslateHook translateHook = nullptr;
    EncoderCallbacks callbacks;

signals:
    void logEvent(const QString& text, MessageLevel level, QPrivateSignal);

private:
    ErrorNotifier();

    void report(MessageLevel level, const char* format, va_list args);

    static void* allocBlock(void* context, size_t size);
    static void freeBlock(void* context, void* block);
    static void errorPrintf(void* context, const char* format, ...);
    static void silentPrintf(void* context, const char* format, ...);
    static void warningPrintf(void* context, const char* format, ...);
    static void infoPrintf(void* context, const char* format, ...);
};

#endif
