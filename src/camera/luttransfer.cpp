#include "camera/luttransfer.h"

#include "platform/stoprequest.h"
#include "protocol/command.h"
#include "protocol/commandtable.h"

namespace vela {
namespace {

std::string EntryMessage(const char* start, int done) {
    return std::string(start) + "  (" + std::to_string(done) + " / " + std::to_string(kLutSize) + ")";
}

}  // namespace

int ReadLutTable(Command& command, LutTable& table, LutTransferProgress& progress) {
    progress.Start(kReadingLutMessage);
    progress.SetPos(0);
    int result = 1;
    for (int i = 0; i < kLutSize; ++i) {
        if (StopRequested()) {
            result = 0;
            break;
        }
        command.WriteValue(kCmdLUTI, i, kLutTransferTimeoutMs);
        int value = 0;
        if (command.ReadValue(kCmdLUTD, value, kLutTransferTimeoutMs) != 1) {
            result = 0;
            break;
        }
        table[static_cast<std::size_t>(i)] = ClampLutValue(value);
        progress.SetMessage(EntryMessage(kReadingLutMessage, i + 1));
        progress.SetPos(i * 100 / kLutSize);
        progress.EntryDone();
    }
    progress.Finish();
    return result;
}

int WriteLutTable(Command& command, const LutTable& table, LutTransferProgress& progress,
                  LutWriteFailure onFailure) {
    progress.Start(kWritingLutMessage);
    progress.SetPos(0);
    int written = kLutSize;
    for (int i = 0; i < kLutSize; ++i) {
        if (StopRequested()) {
            if (written == kLutSize) written = i;
            break;
        }
        bool ok = command.WriteValue(kCmdLUTI, i, kLutTransferTimeoutMs) == 1;
        // Stopping, a LUTD after a failed LUTI is not sent: it would land on the entry before.
        if (ok || onFailure == LutWriteFailure::RunToEnd)
            ok = command.WriteValue(kCmdLUTD, table[static_cast<std::size_t>(i)], kLutTransferTimeoutMs) ==
                     1 &&
                 ok;
        if (!ok) {
            if (written == kLutSize) written = i;
            if (onFailure == LutWriteFailure::Stop) break;
        }
        progress.SetMessage(EntryMessage(kWritingLutMessage, i + 1));
        progress.SetPos(i * 100 / kLutSize);
        progress.EntryDone();
    }
    progress.Finish();
    return written;
}

}  // namespace vela
