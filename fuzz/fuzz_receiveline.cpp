// The receive path: random byte streams, delivered in random slices, through ReceiveLine
// and on into the parser. Lines never hold a line end, never exceed the buffer, and the
// engine never reads past what arrived.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "protocol/command.h"
#include "support/recordingprompt.h"
#include "transport/seriallink.h"

namespace {

// The bytes the fuzzer sends; `limit` is how far they have "arrived".
struct Feed {
    std::string bytes;
    std::size_t pos = 0;
    std::size_t limit = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    static vela::RecordingPrompt prompt;
    static Feed feed;
    static vela::SerialLink link(vela::SerialLink::Channels{}, nullptr);
    static vela::Command command(link);
    command.SetByteSource([](char* byte) {
        if (feed.pos >= feed.limit) return 0;
        *byte = feed.bytes[feed.pos++];
        return 1;
    });
    prompt.clear();
    command.ClearReceived();
    if (size == 0) return 0;

    // The first byte sets the slice size: how many bytes arrive between two calls.
    const std::size_t slice = 1 + data[0] % 64;
    feed.bytes.assign(reinterpret_cast<const char*>(data) + 1, size - 1);
    feed.pos = 0;
    feed.limit = 0;

    std::size_t lines = 0, overflows = 0;
    while (feed.pos < feed.bytes.size()) {
        feed.limit = std::min(feed.bytes.size(), feed.limit + slice);
        // A call stops at a line end or an overflow; otherwise it drains all that waits.
        for (;;) {
            const std::size_t before = feed.pos;
            if (command.ReceiveLine(1)) {
                ++lines;
            } else if (feed.pos == feed.limit) {
                break;
            } else if (feed.pos == before) {
                std::abort();
            }
        }
        overflows = prompt.entries().size();
        while (command.ReceivedLineCount() > 0) {
            vela::ParsedLine p;
            command.PopAndParseLine(p);
            if (p.rawLine.size() >= vela::Command::kLineBufferSize) std::abort();
            if (p.rawLine.find('\n') != std::string::npos) std::abort();
        }
    }
    std::size_t feeds = 0;
    for (char c : feed.bytes) feeds += c == '\n';
    if (lines != feeds) std::abort();
    // At most one overflow per 1024 bytes.
    if (overflows > feed.bytes.size() / vela::Command::kLineBufferSize) std::abort();
    return 0;
}
