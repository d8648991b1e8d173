#include "dialogplacement.h"

#include <cstdint>

namespace {
int32_t centred(int32_t low, int32_t high, int32_t extent)
{
    // The sum is formed wide so that no window position can overflow it.
    const auto middle = static_cast<int32_t>((static_cast<int64_t>(low) + high) / 2);
    return middle - extent / 2;
}

int32_t clamped(int32_t value, int32_t lower, int32_t upper)
{
    const int32_t raised = value < lower ? lower : value;
    return raised < upper ? raised : upper;
}
} // namespace

QPoint centredPosition(const Platform::WindowRect& host, const QSize& dialog, const QRect& desktop)
{
    const int32_t x = centred(host.left, host.right, dialog.width());
    const int32_t y = centred(host.top, host.bottom, dialog.height());
    return { clamped(x, desktop.x(), desktop.width() - dialog.width()),
        clamped(y, desktop.y(), desktop.height() - dialog.height()) };
}
