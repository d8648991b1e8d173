#include "boundedreader.h"

#include <algorithm>

namespace vl::probe {

BoundedReader::BoundedReader(ByteSource& source, uint64_t budget)
    : m_source(source)
    , m_size(source.size())
    , m_budget(budget)
{
}

// How many bytes a read may take: the wanted amount when the budget allows
// it, at least the needed amount, or 0 when even that would overspend.
size_t BoundedReader::allowance(size_t wanted, size_t needed)
{
    const uint64_t left = m_budget - m_spent;
    if (needed > left) {
        m_exhausted = true;
        return 0;
    }
    return static_cast<size_t>(std::min<uint64_t>(wanted, left));
}

const uint8_t* BoundedReader::peek(uint64_t offset, size_t n)
{
    if (m_failed || offset > m_size || n > m_size - offset) {
        return nullptr;
    }
    if (offset >= m_windowStart && offset - m_windowStart + n <= m_window.size()) {
        return m_window.data() + (offset - m_windowStart);
    }
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(std::max(n, m_readAhead), m_size - offset));
    const size_t len = allowance(wanted, n);
    if (len == 0 && n > 0) {
        return nullptr;
    }
    m_window.resize(len);
    m_windowStart = offset;
    const int64_t got = m_source.readAt(offset, m_window.data(), len);
    if (got < 0 || static_cast<size_t>(got) < n) {
        m_failed = true;
        m_window.clear();
        return nullptr;
    }
    m_spent += static_cast<uint64_t>(got);
    m_window.resize(static_cast<size_t>(got));
    return m_window.data();
}

bool BoundedReader::append(uint64_t offset, size_t n, std::vector<uint8_t>& out)
{
    if (m_failed) {
        return false;
    }
    if (offset >= m_size || n == 0) {
        return true;
    }
    const size_t wanted = static_cast<size_t>(std::min<uint64_t>(n, m_size - offset));
    const size_t len = allowance(wanted, wanted);
    if (len == 0) {
        return false;
    }
    const size_t old = out.size();
    out.resize(old + len);
    const int64_t got = m_source.readAt(offset, out.data() + old, len);
    if (got < 0) {
        m_failed = true;
        out.resize(old);
        return false;
    }
    m_spent += static_cast<uint64_t>(got);
    out.resize(old + static_cast<size_t>(got));
    return true;
}

} // namespace vl::probe
