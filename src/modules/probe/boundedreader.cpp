#include "boundedreader.h"

#include <algorithm>

namespace vl::probe {

BoundedReader::BoundedReader(ByteSource& source, uint64_t budget)
    : input(source)
    , inputSize(source.size())
    , budgetBytes(budget)
{
}

// How many bytes a read may take: the wanted amount when the budget allows
// it, at least the needed amount, or 0 when even that would overspend.
size_t BoundedReader::allowance(size_t wanted, size_t needed)
{
    const uint64_t left = budgetBytes - spentBytes;
    if (needed > left) {
        budgetExhausted = true;
        return 0;
    }
    return static_cast<size_t>(std::min<uint64_t>(wanted, left));
}

const uint8_t* BoundedReader::peek(uint64_t offset, size_t n)
{
    if (readFailed || offset > inputSize || n > inputSize - offset) {
        return nullptr;
    }
    if (offset >= windowStart && offset - windowStart + n <= window.size()) {
        return window.data() + (offset - windowStart);
    }
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(std::max(n, readAhead), inputSize - offset));
    const size_t len = allowance(wanted, n);
    if (len == 0 && n > 0) {
        return nullptr;
    }
    window.resize(len);
    windowStart = offset;
    const int64_t got = input.readAt(offset, window.data(), len);
    if (got < 0 || static_cast<size_t>(got) < n) {
        readFailed = true;
        window.clear();
        return nullptr;
    }
    spentBytes += static_cast<uint64_t>(got);
    window.resize(static_cast<size_t>(got));
    return window.data();
}

bool BoundedReader::append(uint64_t offset, size_t n, std::vector<uint8_t>& out)
{
    if (readFailed) {
        return false;
    }
    if (offset >= inputSize || n == 0) {
        return true;
    }
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(n, inputSize - offset));
    const size_t len = allowance(wanted, wanted);
    if (len == 0) {
        return false;
    }
    const size_t old = out.size();
    out.resize(old + len);
    const int64_t got = input.readAt(offset, out.data() + old, len);
    if (got < 0) {
        readFailed = true;
        out.resize(old);
        return false;
    }
    spentBytes += static_cast<uint64_t>(got);
    out.resize(old + static_cast<size_t>(got));
    return true;
}

} // namespace vl::probe
