#include "boundedreader.h"

#include <algorithm>
#include <cstring>

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
    // The part of the window at and after offset moves to the front and is
    // not read again.
    size_t kept = 0;
    if (offset >= windowStart && offset < windowStart + window.size()) {
        kept = static_cast<size_t>(windowStart + window.size() - offset);
        std::memmove(window.data(), window.data() + (offset - windowStart), kept);
    }
    window.resize(kept);
    windowStart = offset;
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(std::max(n, readAhead), inputSize - offset));
    const size_t len = allowance(wanted - kept, n - kept);
    if (len == 0 && n > kept) {
        return nullptr;
    }
    window.resize(kept + len);
    const int64_t got = input.readAt(offset + kept, window.data() + kept, len);
    if (got < 0 || kept + static_cast<size_t>(got) < n) {
        readFailed = true;
        window.clear();
        return nullptr;
    }
    spentBytes += static_cast<uint64_t>(got);
    window.resize(kept + static_cast<size_t>(got));
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
    // What the window already holds is not read again.
    size_t fromWindow = 0;
    if (offset >= windowStart && offset < windowStart + window.size()) {
        fromWindow = static_cast<size_t>(std::min<uint64_t>(wanted, windowStart + window.size() - offset));
        const uint8_t* held = window.data() + (offset - windowStart);
        out.insert(out.end(), held, held + fromWindow);
    }
    const size_t rest = wanted - fromWindow;
    if (rest == 0) {
        return true;
    }
    const size_t len = allowance(rest, rest);
    if (len == 0) {
        return false;
    }
    const size_t old = out.size();
    out.resize(old + len);
    const int64_t got = input.readAt(offset + fromWindow, out.data() + old, len);
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
