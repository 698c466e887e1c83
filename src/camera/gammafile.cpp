#include "camera/gammafile.h"

#include <array>
#include <cstdio>

#include "platform/atomicfile.h"

namespace vela {
namespace {

// A data line longer than this is read in pieces, each piece counting as a line.
constexpr std::size_t kPieceLength = 126;
// Digits beyond this value no longer change what is stored (4095) and are not
// accumulated, so a long run of digits cannot overflow.
constexpr long long kNumberCeiling = 2147483647;

constexpr const char* kCannotOpen = "Couldn't open this file";

ActionReport CannotOpen(const std::string& path) {
    return {Result::FileError(path, kCannotOpen), {{path + "\n" + kCannotOpen, PromptIcon::Stop}}};
}

ActionReport FormatError(const char* message) {
    return {Result::FileError({}, message), {{message, PromptIcon::Stop}}};
}

// Where the reader takes its characters: Get gives the next one or -1 at the end, Peek
// the next one without taking it.
class TextSource {
  public:
    explicit TextSource(std::string_view text) : m_text(text) {}
    int Get() { return m_pos < m_text.size() ? static_cast<unsigned char>(m_text[m_pos++]) : -1; }
    int Peek() const { return m_pos < m_text.size() ? static_cast<unsigned char>(m_text[m_pos]) : -1; }

  private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

class FileSource {
  public:
    explicit FileSource(std::FILE* file) : m_file(file) {}
    int Get() { return std::getc(m_file); }
    int Peek() const {
        const int c = std::getc(m_file);
        if (c != EOF) std::ungetc(c, m_file);
        return c;
    }
    bool Failed() const { return std::ferror(m_file) != 0; }

  private:
    std::FILE* m_file;
};

// Splits the text into lines as a text-mode reader sees them: CR LF is one line end, a
// line longer than kPieceLength continues as the next line, and a last line without its
// end still counts.
template <class Source>
class LineReader {
  public:
    explicit LineReader(Source& source) : m_source(source) {}

    // The next piece without its line end; false at the end of the text.
    bool NextPiece(std::string& piece) {
        piece.clear();
        if (m_source.Peek() < 0) return false;
        while (piece.size() < kPieceLength) {
            const int c = m_source.Get();
            if (c < 0 || c == '\n') break;
            if (c == '\r' && m_source.Peek() == '\n') {
                m_source.Get();
                break;
            }
            piece += static_cast<char>(c);
        }
        return true;
    }

    // Drops everything up to and including the next line end.
    void SkipLine() {
        for (int c = m_source.Get(); c >= 0 && c != '\n';) c = m_source.Get();
    }

  private:
    Source& m_source;
};

template <class Source>
ActionReport ReadGammaLinesInto(Source& source, const LutTableRefs& tables) {
    ActionReport report;
    LineReader<Source> reader(source);
    // The first line is a header whatever it holds; it is never compared.
    reader.SkipLine();

    bool reported = false;
    int line = 0;
    std::string piece;
    while (reader.NextPiece(piece)) {
        long long fields[3] = {0, 0, 0};
        int field = 1;
        for (const char c : piece) {
            if (c >= '0' && c <= '9') {
                long long& v = fields[field];
                if (v <= kNumberCeiling) v = v * 10 + (c - '0');
            } else if (c == ',') {
                if (++field == 3) {
                    ActionReport failed = FormatError(kGammaCountFormatMessage);
                    failed.messages.insert(failed.messages.begin(), report.messages.begin(),
                                           report.messages.end());
                    return failed;
                }
            }
        }
        if (line >= kLutSize) {
            ActionReport failed = FormatError(kGammaTooManyMessage);
            failed.messages.insert(failed.messages.begin(), report.messages.begin(), report.messages.end());
            return failed;
        }
        for (std::size_t k = 0; k < tables.size(); ++k) {
            const long long v = fields[k] > kNumberCeiling ? kNumberCeiling : fields[k];
            if (v > kLutMaxValue && !reported) {
                reported = true;
                char message[96];
                std::snprintf(message, sizeof message, "Invalid data value: Line(%d) : Value(%lld)", line, v);
                report.messages.push_back({message, PromptIcon::Stop});
            }
            (*tables[k])[static_cast<std::size_t>(line)] = ClampLutValue(v);
        }
        ++line;
    }
    return report;
}

// Reads into copies of the tables and hands them over at the end, after a format error
// too. While a message box is up the editors repaint, and an editor in Edit Mode then
// recomputes its table from its edit points: entries read straight into it would be lost.
template <class Source>
ActionReport ReadGammaLines(Source& source, const LutTableRefs& tables) {
    std::array<LutTable, 3> copies{};
    LutTableRefs copyRefs{};
    for (std::size_t k = 0; k < tables.size(); ++k) {
        copies[k] = *tables[k];
        copyRefs[k] = &copies[k];
    }
    ActionReport report = ReadGammaLinesInto(source, copyRefs);
    for (std::size_t k = 0; k < tables.size(); ++k) *tables[k] = copies[k];
    return report;
}

}  // namespace

std::string FormatGammaFile(bool supportedModel, const LutTableRefs& tables) {
    std::string out;
    out.reserve(kLutSize * 16);
    out += supportedModel ? kGammaMonoHeader : kGammaRgbHeader;
    out += "\r\n";
    for (std::size_t i = 0; i < kLutSize; ++i) {
        if (supportedModel) {
            out += std::to_string((*tables[1])[i]);
        } else {
            out += std::to_string((*tables[0])[i]) + ',' + std::to_string((*tables[1])[i]) + ',' +
                   std::to_string((*tables[2])[i]);
        }
        out += "\r\n";
    }
    return out;
}

ActionReport WriteGammaFile(const std::string& path, bool supportedModel, const LutTableRefs& tables) {
    // Replaced whole or not at all; a write that fails half-way (a full disk) is reported
    // like a file that cannot be opened rather than passed off as saved.
    if (!WriteFileAtomically(path, FormatGammaFile(supportedModel, tables))) return CannotOpen(path);
    return {};
}

ActionReport ReadGammaData(std::string_view text, const LutTableRefs& tables) {
    TextSource source(text);
    return ReadGammaLines(source, tables);
}

ActionReport ReadGammaFile(const std::string& path, const LutTableRefs& tables) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return CannotOpen(path);
    FileSource source(file);
    // A folder opens on Linux but fails at the first read: it counts as a file that
    // cannot be opened, before any entry changes.
    if (source.Peek() < 0 && source.Failed()) {
        std::fclose(file);
        return CannotOpen(path);
    }
    ActionReport report = ReadGammaLines(source, tables);
    std::fclose(file);
    return report;
}

}  // namespace vela
