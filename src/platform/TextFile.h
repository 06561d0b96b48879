#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/File.h"

namespace qv {

// The platform's line end for text written by the program.
#ifdef _WIN32
inline constexpr std::string_view kLineEnd = "\r\n";
#else
inline constexpr std::string_view kLineEnd = "\n";
#endif

// Our own text mode over raw file I/O, the same on every platform.
// Reading splits at LF and drops a CR right before it; a last line without LF is a line.
// Writing turns every "\n" into the platform's line end. Writes are buffered; a failed
// write sticks until the file is closed, so a caller can check once at the end.
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
    bool Rewind();

    bool Write(std::string_view text);
    bool Flush();
    // Flushes and pushes the data to the disk.
    bool Sync();
    // Flushes and closes; false when any write since the open failed.
    bool Close();
    bool Failed() const { return failed; }

private:
    bool FillReadBuffer();

    std::unique_ptr<File> file;
    std::string readBuffer;
    size_t readPos = 0;
    bool readEof = false;
    std::string writeBuffer;
    bool failed = false;
};

}  // namespace qv
