#pragma once

#include <array>
#include <atomic>

namespace vela {

// The receive ring: a single-producer (receive thread), single-consumer (GUI thread)
// queue of 1024 bytes. head == tail means empty, so at most 1023 unread bytes.
class ComPortRingBuffer {
  public:
    static constexpr int kSize = 1024;

    // Producer side. When 1023 bytes are unread the new byte is dropped: the producer
    // never moves the consumer's index. Returns false when the byte was dropped.
    bool Put(unsigned char byte);

    // Consumer side: copies up to `length` bytes; never waits.
    int Get(char* buffer, int length);
    int Available() const;
    // Empties the ring; only while the producer is stopped.
    void Clear();

  private:
    std::array<unsigned char, kSize> m_bytes{};
    std::atomic<int> m_head{0};  // next slot to fill, written only by the producer
    std::atomic<int> m_tail{0};  // next slot to hand out, written only by the consumer
};

}  // namespace vela
