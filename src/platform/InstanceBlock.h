#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/Paths.h"

namespace qv {

// One open handle to a named instance block: the place where the running copy of the
// program publishes its main window for later starts. Destroying the object closes the
// handle. The block lasts as long as the copy that created it keeps its handle, and no
// longer than that copy's process (a copy that died never blocks the next start).
//
// Windows: a paging-file-backed named file mapping of 4 bytes holding the window handle.
// Linux: a listening Unix socket in the abstract namespace; the window handle stays in the
// running copy, which brings its window forward itself when a later start asks.
class InstanceBlock {
public:
    virtual ~InstanceBlock() = default;

    // This copy's own block: stores its main window's handle (0: none). False when the block
    // cannot be written.
    virtual bool StoreWindow(uintptr_t window) = 0;

    // A running copy's block: brings the stored window forward, or the pop-up it owns that was
    // active last, restoring the window first when it is minimised. Nothing is brought forward
    // when the handle is 0 or no longer names a window. The stored handle; none when the
    // block cannot be read.
    virtual std::optional<uintptr_t> ActivateWindow() = 0;

    // This copy's own block, where a later start's request arrives as a message (Linux): a
    // descriptor that becomes readable when one is waiting; -1 where the later start acts by
    // itself (Windows).
    virtual int ActivationHandle() const { return -1; }
    // Answers the waiting requests, calling `activate` for each when a window other than 0 is
    // stored. The number of requests answered.
    virtual int AnswerRequests(const std::function<void()>&) { return 0; }
};

// The platform's named instance blocks.
class InstanceBlocks {
public:
    virtual ~InstanceBlocks() = default;
    // The block called `name`, when a copy has created one (OpenFileMappingA; connecting).
    virtual std::unique_ptr<InstanceBlock> Open(const std::string& name) = 0;
    // Creates this copy's block called `name`; null when it cannot, or when another copy
    // created one first.
    virtual std::unique_ptr<InstanceBlock> Create(const std::string& name) = 0;
};

// This build's blocks. On Linux a block's name also carries the user id and `paths`' root,
// so users and sandboxes do not meet; on Windows the name is used as it is.
std::unique_ptr<InstanceBlocks> CreateInstanceBlocks(const PathMap& paths);

}  // namespace qv
