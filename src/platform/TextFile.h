#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/ContentDigest.h"
#include "platform/File.h"

namespace qv {

// The platform's line end for text written by the program.
#ifdef _WIN32
inline constexpr std::string_view kLineEnd = "\r\n";
#else
inline constexpr std::string_view kLineEnd = "\n";
#endif

// Appends `text` to `out` with every "\n" turned into the platform's line end.
void AppendPlatformText(std::string& out, std::string_view text);

// Our own text mode over raw file I/O, the same on every platform.
// Reading splits at LF and drops a CR right before it; a last line without LF is a line.
// A read error is not an end of file: ReadLine stops and ReadFailed tells which it was.
// Writing turns every "\n" into the platform's line end. Writes are buffered; a failed
// write sticks until the file is closed or ClearError, so a caller can check once at the end.
// Every byte read since the open or the last rewind, or written since the open, goes into
// a fingerprint (Digest), so a caller can tell later whether a file still holds the same.
class TextFile {
public:
    TextFile() = default;
    ~TextFile();
    TextFile(const TextFile&) = delete;
    TextFile& operator=(const TextFile&) = delete;

    bool Open(FileSystem& files, const std::string& path, const OpenOptions& options);
    bool IsOpen() const { return file != nullptr; }

    // Reads the next line into `line`; false at the end of the file or on an error.
    bool ReadLine(std::string& line);
    // The last ReadLine stopped on an error, not at the end of the file.
    bool ReadFailed() const { return readError; }
    bool Rewind();
    // Reads the rest of the file without keeping it; false on a read error.
    bool Skim();
    // Rewinds and writes every byte of the file to `out` as it is, line ends and all; false
    // on a read or write error. The fingerprint covers the bytes read.
    bool CopyTo(File& out);
    uint64_t Digest() const { return digest.Value(); }

    bool Write(std::string_view text);
    bool Flush();
    // Flushes and pushes the data to the disk.
    bool Sync();
    // Flushes and closes; false when any write since the open failed.
    bool Close();
    bool Failed() const { return failed; }
    // Forgets a failed write, so later writes are tried again.
    void ClearError() { failed = false; }

private:
    bool FillReadBuffer();

    std::unique_ptr<File> file;
    std::string readBuffer;
    size_t readPos = 0;
    bool readEof = false;
    bool readError = false;
    ContentDigest digest;
    std::string writeBuffer;
    bool failed = false;
};

}  // namespace qv
