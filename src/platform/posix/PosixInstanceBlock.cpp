#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/InstanceBlock.h"

namespace qv {
namespace {

constexpr char kRequest[] = "activate\n";
constexpr size_t kRequestSize = sizeof kRequest - 1;
// How long a later start waits for the running copy's answer, and how long the running copy
// waits for the request of a start that has connected.
constexpr int kAnswerWaitMilliseconds = 3000;
constexpr int kRequestWaitMilliseconds = 500;
// sun_path less the leading 0 byte of an abstract name.
constexpr size_t kMaxNameSize = sizeof(sockaddr_un::sun_path) - 1;

class Socket {
public:
    explicit Socket(int fd = -1) : fd(fd) {}
    ~Socket() {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int Get() const { return fd; }
    int Release() {
        int released = fd;
        fd = -1;
        return released;
    }

private:
    int fd;
};

sockaddr_un AbstractAddress(const std::string& name, socklen_t& length) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path + 1, name.data(), name.size());
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
    return address;
}

// Anyone may connect to an abstract socket: only our own user's copies count.
bool PeerIsThisUser(int fd) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 &&
           credentials.uid == ::getuid();
}

// Reads exactly `size` bytes, or fewer when the peer closes, within `milliseconds`.
size_t ReadWithin(int fd, char* buffer, size_t size, int milliseconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    size_t got = 0;
    while (got < size) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                        deadline - std::chrono::steady_clock::now())
                        .count();
        if (left <= 0) {
            break;
        }
        pollfd ready{fd, POLLIN, 0};
        int polled = ::poll(&ready, 1, static_cast<int>(left));
        if (polled < 0 && errno == EINTR) {
            continue;
        }
        if (polled <= 0) {
            break;
        }
        ssize_t n = ::recv(fd, buffer + got, size - got, 0);
        if (n < 0 && (errno == EINTR || errno == EAGAIN)) {
            continue;
        }
        if (n <= 0) {
            break;
        }
        got += static_cast<size_t>(n);
    }
    return got;
}

bool SendAll(int fd, const void* data, size_t size) {
    return ::send(fd, data, size, MSG_NOSIGNAL) == static_cast<ssize_t>(size);
}

// This copy's block: the listening socket, and the window it brings forward when asked.
class ListeningBlock : public InstanceBlock {
public:
    explicit ListeningBlock(int fd) : listener(fd) {}

    bool StoreWindow(uintptr_t newWindow) override {
        window = newWindow;
        return true;
    }

    std::optional<uintptr_t> ActivateWindow() override { return std::nullopt; }

    int ActivationHandle() const override { return listener.Get(); }

    int AnswerRequests(const std::function<void()>& activate) override {
        int answered = 0;
        while (true) {
            int accepted = ::accept4(listener.Get(), nullptr, nullptr, SOCK_CLOEXEC);
            if (accepted < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return answered;  // EAGAIN: nobody else is waiting
            }
            Socket connection(accepted);
            if (!PeerIsThisUser(accepted)) {
                continue;
            }
            // A start that only looked for us closes without asking.
            char request[kRequestSize];
            if (ReadWithin(accepted, request, kRequestSize, kRequestWaitMilliseconds) !=
                    kRequestSize ||
                std::memcmp(request, kRequest, kRequestSize) != 0) {
                continue;
            }
            uint64_t answer = window;
            SendAll(accepted, &answer, sizeof answer);
            ++answered;
            if (window != 0 && activate) {
                activate();
            }
        }
    }

private:
    Socket listener;
    uintptr_t window = 0;
};

// A running copy's block: our connection to its socket (-1 when it had no room to take us).
class ConnectedBlock : public InstanceBlock {
public:
    explicit ConnectedBlock(int fd) : connection(fd) {}

    bool StoreWindow(uintptr_t) override { return false; }

    std::optional<uintptr_t> ActivateWindow() override {
        if (connection.Get() < 0 || !SendAll(connection.Get(), kRequest, kRequestSize)) {
            return std::nullopt;
        }
        uint64_t answer = 0;
        if (ReadWithin(connection.Get(), reinterpret_cast<char*>(&answer), sizeof answer,
                       kAnswerWaitMilliseconds) != sizeof answer) {
            return std::nullopt;
        }
        return static_cast<uintptr_t>(answer);
    }

private:
    Socket connection;
};

// One spelling per root directory, so "/tmp/x/" and "/tmp/./x" meet "/tmp/x".
std::string CanonicalRoot(const std::string& root) {
    char resolved[PATH_MAX];
    std::string canonical = ::realpath(root.c_str(), resolved) != nullptr ? resolved : root;
    while (canonical.size() > 1 && canonical.back() == '/') {
        canonical.pop_back();
    }
    return canonical;
}

std::string Fingerprint(const std::string& text) {
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (unsigned char c : text) {
        hash = (hash ^ c) * 1099511628211ull;
    }
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return hex;
}

class PosixInstanceBlocks : public InstanceBlocks {
public:
    explicit PosixInstanceBlocks(const PathMap& paths) : root(CanonicalRoot(paths.Root())) {}

    std::unique_ptr<InstanceBlock> Open(const std::string& name) override {
        Socket s(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
        if (s.Get() < 0) {
            return nullptr;
        }
        socklen_t length = 0;
        sockaddr_un address = AbstractAddress(SocketName(name), length);
        if (::connect(s.Get(), reinterpret_cast<const sockaddr*>(&address), length) != 0) {
            // EAGAIN: the copy is there but its queue is full; anything else: no copy.
            return errno == EAGAIN ? std::make_unique<ConnectedBlock>(-1) : nullptr;
        }
        if (!PeerIsThisUser(s.Get())) {
            return nullptr;
        }
        return std::make_unique<ConnectedBlock>(s.Release());
    }

    std::unique_ptr<InstanceBlock> Create(const std::string& name) override {
        int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0) {
            return nullptr;
        }
        auto block = std::make_unique<ListeningBlock>(fd);
        socklen_t length = 0;
        sockaddr_un address = AbstractAddress(SocketName(name), length);
        // Binding fails while another copy holds the name, and the name goes with the
        // process that held it, however it ended.
        if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
            ::listen(fd, 16) != 0) {
            return nullptr;
        }
        return block;
    }

private:
    // The block's name, this user's id and the root: users and sandboxes never meet.
    std::string SocketName(const std::string& name) const {
        std::string prefix = name + "." + std::to_string(::getuid()) + ".";
        if (prefix.size() + root.size() <= kMaxNameSize) {
            return prefix + root;
        }
        return prefix + "#" + Fingerprint(root);
    }

    std::string root;
};

}  // namespace

std::unique_ptr<InstanceBlocks> CreateInstanceBlocks(const PathMap& paths) {
    return std::make_unique<PosixInstanceBlocks>(paths);
}

}  // namespace qv
