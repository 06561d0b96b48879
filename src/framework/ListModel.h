#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

class ListObserver {
public:
    virtual ~ListObserver() = default;
    virtual void ListReset() = 0;  // everything may have changed
    virtual void LinesAppended(size_t first, size_t count) = 0;
    // Followed by SelectionChanged when the delete moved or cleared the selection.
    virtual void LineDeleted(size_t index) = 0;
    virtual void SelectionChanged(int index) = 0;
};

// The lines of a list box, kept once, as raw bytes. Toolkits show them virtually.
//
// A hosts file can have a million lines, so the text lives in large blocks and each line
// costs one small entry on top of its bytes: no allocation per line, and no block is ever
// copied to grow. A deleted line's bytes stay in their block until the list is cleared.
class ListModel {
public:
    static constexpr int kNoSelection = -1;

    size_t Count() const { return entries.size(); }
    std::string_view Line(size_t index) const { return {entries[index].text, entries[index].size}; }
    int Selected() const { return selected; }

    void Append(std::string_view line);
    void Delete(size_t index);
    void Clear();
    void Select(int index);
    void Reserve(size_t count) { entries.reserve(count); }

    // Appends made between the two calls reach the observer as one notification.
    void BeginBatch();
    void EndBatch();

    void SetObserver(ListObserver* o) { observer = o; }
    // Bytes held for the lines (blocks and entries), for memory measurements.
    size_t MemoryUsed() const;

private:
    struct Entry {
        const char* text;
        uint32_t size;
    };
    static constexpr size_t kBlockSize = 1 << 20;

    std::vector<std::unique_ptr<char[]>> blocks;
    size_t blockUsed = kBlockSize;  // bytes used in the last block
    size_t blockBytes = 0;          // bytes allocated in all blocks
    std::vector<Entry> entries;
    int selected = kNoSelection;
    ListObserver* observer = nullptr;
    bool batching = false;
    size_t batchStart = 0;
};

}  // namespace qv
