#include "platform/TextFile.h"

#include <cstring>

namespace qv {
namespace {
constexpr size_t kChunk = 1 << 16;
}

void AppendPlatformText(std::string& out, std::string_view text) {
    if (kLineEnd == "\n") {
        out.append(text);
        return;
    }
    size_t from = 0;
    for (size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', from)) {
        out.append(text.substr(from, lf - from));
        out.append(kLineEnd);
        from = lf + 1;
    }
    out.append(text.substr(from));
}

TextFile::~TextFile() {
    Close();
}

bool TextFile::Open(FileSystem& files, const std::string& path, const OpenOptions& options) {
    Close();
    file = files.Open(path, options);
    failed = false;
    readBuffer.clear();
    readPos = 0;
    readEof = false;
    readError = false;
    digest.Reset();
    return file != nullptr;
}

bool TextFile::FillReadBuffer() {
    if (readEof) {
        return false;
    }
    readBuffer.erase(0, readPos);
    readPos = 0;
    size_t old = readBuffer.size();
    readBuffer.resize(old + kChunk);
    long long n = file->Read(readBuffer.data() + old, kChunk);
    if (n <= 0) {
        readBuffer.resize(old);
        readEof = true;
        readError = n < 0;
        return false;
    }
    readBuffer.resize(old + static_cast<size_t>(n));
    digest.Add(readBuffer.data() + old, static_cast<size_t>(n));
    return true;
}

bool TextFile::ReadLine(std::string& line) {
    if (!file) {
        return false;
    }
    size_t scanFrom = readPos;
    for (;;) {
        const char* start = readBuffer.data() + scanFrom;
        const void* lf = std::memchr(start, '\n', readBuffer.size() - scanFrom);
        if (lf != nullptr) {
            size_t end = static_cast<size_t>(static_cast<const char*>(lf) - readBuffer.data());
            size_t lineEnd = end;
            if (lineEnd > readPos && readBuffer[lineEnd - 1] == '\r') {
                --lineEnd;
            }
            line.assign(readBuffer, readPos, lineEnd - readPos);
            readPos = end + 1;
            return true;
        }
        size_t scanned = readBuffer.size() - readPos;
        if (!FillReadBuffer()) {
            if (readError) {
                return false;  // a line cut short by an error is no line
            }
            if (readPos < readBuffer.size()) {
                // The last line has no LF: it is still a line, a CR at its end included (only
                // a CR right before an LF belongs to a line end).
                line.assign(readBuffer, readPos, readBuffer.size() - readPos);
                readPos = readBuffer.size();
                return true;
            }
            return false;
        }
        scanFrom = readPos + scanned;
    }
}

bool TextFile::Rewind() {
    if (!file || !Flush()) {
        return false;
    }
    readBuffer.clear();
    readPos = 0;
    readEof = false;
    readError = false;
    digest.Reset();
    return file->Rewind();
}

bool TextFile::Skim() {
    if (!file) {
        return false;
    }
    readBuffer.erase(0, readPos);
    readPos = 0;
    while (FillReadBuffer()) {
        readBuffer.clear();
    }
    return !readError;
}

bool TextFile::CopyTo(File& out) {
    if (!Rewind()) {
        return false;
    }
    std::string buffer(kChunk, '\0');
    for (;;) {
        long long n = file->Read(buffer.data(), buffer.size());
        if (n <= 0) {
            readEof = true;
            readError = n < 0;
            return !readError;
        }
        digest.Add(buffer.data(), static_cast<size_t>(n));
        if (!out.Write(buffer.data(), static_cast<size_t>(n))) {
            return false;
        }
    }
}

bool TextFile::Write(std::string_view text) {
    if (!file) {
        return false;
    }
    AppendPlatformText(writeBuffer, text);
    if (writeBuffer.size() >= kChunk) {
        return Flush();
    }
    return !failed;
}

bool TextFile::Flush() {
    if (!file) {
        return false;
    }
    if (!writeBuffer.empty()) {
        if (!failed && !file->Write(writeBuffer.data(), writeBuffer.size())) {
            failed = true;
        }
        digest.Add(writeBuffer.data(), writeBuffer.size());
        writeBuffer.clear();
    }
    return !failed;
}

bool TextFile::Sync() {
    if (!Flush()) {
        return false;
    }
    if (!file->Sync()) {
        failed = true;
    }
    return !failed;
}

bool TextFile::Close() {
    if (!file) {
        return true;
    }
    bool ok = Flush();
    file.reset();
    failed = false;
    return ok;
}

}  // namespace qv
