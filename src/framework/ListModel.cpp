#include "framework/ListModel.h"

#include <cstring>

namespace qv {

void ListModel::Append(std::string_view line) {
    const char* stored = "";
    if (!line.empty()) {
        if (line.size() > kBlockSize / 4) {
            // A very long line gets a block of its own, placed before the current block so
            // that the current one keeps filling.
            auto own = std::make_unique<char[]>(line.size());
            std::memcpy(own.get(), line.data(), line.size());
            stored = own.get();
            blockBytes += line.size();
            blocks.insert(blocks.empty() ? blocks.end() : blocks.end() - 1, std::move(own));
        } else {
            if (blockUsed + line.size() > kBlockSize) {
                blocks.push_back(std::make_unique<char[]>(kBlockSize));
                blockBytes += kBlockSize;
                blockUsed = 0;
            }
            char* at = blocks.back().get() + blockUsed;
            std::memcpy(at, line.data(), line.size());
            blockUsed += line.size();
            stored = at;
        }
    }
    entries.push_back(Entry{stored, static_cast<uint32_t>(line.size())});
    if (observer != nullptr && !batching) {
        observer->LinesAppended(entries.size() - 1, 1);
    }
}

void ListModel::Delete(size_t index) {
    if (index >= entries.size()) {
        return;
    }
    entries.erase(entries.begin() + static_cast<std::ptrdiff_t>(index));
    // As a list box does: the selection goes with the deleted line.
    const int before = selected;
    if (selected == static_cast<int>(index)) {
        selected = kNoSelection;
    } else if (selected > static_cast<int>(index)) {
        --selected;
    }
    if (observer != nullptr) {
        observer->LineDeleted(index);
        // A view keeps a selection of its own: tell it where ours went.
        if (selected != before) {
            observer->SelectionChanged(selected);
        }
    }
}

void ListModel::Clear() {
    entries.clear();
    entries.shrink_to_fit();
    blocks.clear();
    blockUsed = kBlockSize;
    blockBytes = 0;
    selected = kNoSelection;
    if (observer != nullptr) {
        observer->ListReset();
    }
}

void ListModel::Select(int index) {
    if (index < 0 || static_cast<size_t>(index) >= entries.size()) {
        index = kNoSelection;
    }
    selected = index;
    if (observer != nullptr) {
        observer->SelectionChanged(index);
    }
}

void ListModel::BeginBatch() {
    if (!batching) {
        batching = true;
        batchStart = entries.size();
    }
}

void ListModel::EndBatch() {
    if (!batching) {
        return;
    }
    batching = false;
    if (observer != nullptr && entries.size() > batchStart) {
        observer->LinesAppended(batchStart, entries.size() - batchStart);
    }
}

size_t ListModel::MemoryUsed() const {
    return blockBytes + entries.capacity() * sizeof(Entry) +
           blocks.capacity() * sizeof(std::unique_ptr<char[]>);
}

}  // namespace qv
