#include "transport/comportringbuffer.h"

namespace vela {

bool ComPortRingBuffer::Put(unsigned char byte) {
    const int head = m_head.load(std::memory_order_relaxed);
    const int next = (head + 1) % kSize;
    if (next == m_tail.load(std::memory_order_acquire)) return false;
    m_bytes[static_cast<size_t>(head)] = byte;
    // Publish the byte before the index that hands it out.
    m_head.store(next, std::memory_order_release);
    return true;
}

int ComPortRingBuffer::Get(char* buffer, int length) {
    int count = 0;
    int tail = m_tail.load(std::memory_order_relaxed);
    const int head = m_head.load(std::memory_order_acquire);
    while (count < length && tail != head) {
        buffer[count++] = static_cast<char>(m_bytes[static_cast<size_t>(tail)]);
        tail = (tail + 1) % kSize;
    }
    // Release the slots only after the bytes were copied out.
    m_tail.store(tail, std::memory_order_release);
    return count;
}

int ComPortRingBuffer::Available() const {
    int n = m_head.load(std::memory_order_acquire) - m_tail.load(std::memory_order_acquire);
    return n < 0 ? n + kSize : n;
}

void ComPortRingBuffer::Clear() {
    m_head.store(0, std::memory_order_relaxed);
    m_tail.store(0, std::memory_order_relaxed);
}

}  // namespace vela
