#pragma once

#include <string>

namespace vela {

// A file replaced whole or not at all: the content goes to a temporary file beside the
// target, is flushed to disk and renamed over the target by Commit. A crash or a full
// disk leaves the old file as it was. A symbolic link is followed, so the file it points
// to is replaced and the link stays. An existing file keeps its permissions. A device or
// a pipe cannot be replaced and is written in place instead, and so is a writable file in
// a folder where no temporary file can be made (the replace is then not atomic).
class AtomicFile {
  public:
    AtomicFile() = default;
    ~AtomicFile();  // removes the temporary file unless committed
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // false when the target is a folder or a file this user may not write, or it does
    // not exist yet and no file can be made in its folder (errno tells why).
    bool Open(const std::string& path);
    // false after any failed write; later writes then do nothing.
    bool Write(const std::string& data);
    // false (and the target unchanged) when a write, the flush or the rename failed.
    bool Commit();

  private:
    void Discard();

    std::string m_target;
    std::string m_temp;
    int m_fd = -1;
    bool m_failed = false;
    bool m_inPlace = false;           // written through the target's own descriptor
    bool m_truncateOnCommit = false;  // a regular file written in place: cut to m_written
    std::size_t m_written = 0;
};

// Open, Write and Commit in one.
inline bool WriteFileAtomically(const std::string& path, const std::string& data) {
    AtomicFile file;
    return file.Open(path) && file.Write(data) && file.Commit();
}

}  // namespace vela
