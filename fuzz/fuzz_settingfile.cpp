// The setting-file reader's line handling: any bytes split into pieces of at most 255
// characters that together hold every byte (CR LF read as LF), the count agrees with the
// pieces read, and every piece classifies without harm in both control modes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "camera/settingfile.h"
#include "protocol/commandtable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size == 0) return 0;  // fmemopen refuses an empty buffer
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data), size, "rb");
    if (!file) return 0;
    const long count = vela::SettingFileLineReader::Count(file);
    std::rewind(file);

    vela::SettingFileLineReader reader(file);
    std::string piece;
    std::string joined;
    long pieces = 0;
    while (reader.Next(piece)) {
        ++pieces;
        if (piece.empty() || piece.size() > vela::SettingFileLineReader::kMaxPiece) std::abort();
        if (piece.find('\n') != std::string::npos && piece.find('\n') != piece.size() - 1) std::abort();
        joined += piece;
        for (int mode : {0, 1}) {
            const vela::SettingLineAction action = vela::ClassifySettingLine(piece, mode);
            if (action.kind == vela::SettingLineAction::Value) {
                if (action.ctrlId < 0 || vela::CommandAt(action.cmdId) == nullptr) std::abort();
                if (mode == 0 && action.cmdId >= vela::kCmdGA4A00)
                    std::abort();  // factory rows only in mode 1
            }
        }
    }
    std::fclose(file);
    if (pieces != count) std::abort();

    std::string expected(reinterpret_cast<const char*>(data), size);
    for (std::size_t at = expected.find("\r\n"); at != std::string::npos; at = expected.find("\r\n", at)) {
        expected.erase(at, 1);
    }
    if (joined != expected) std::abort();
    return 0;
}
