#pragma once

#include <QtGlobal>
#include <array>
#include <limits>
#include <memory>
#include <vector>

// The keys of a record cursor's rows by their place in its order, most of
// them not read yet. Slots are kept in blocks; a block with no key read in it
// takes no memory, so a cursor over a million rows that has read a few pages
// holds a few blocks, starts over in a moment and finds its read keys
// without walking the empty stretches.
class KeySlots {
public:
    static constexpr qint64 None = std::numeric_limits<qint64>::min();

    int size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    qint64 operator[](int slot) const {
        const Block* b = m_blocks[std::size_t(slot >> BlockBits)].get();
        return b ? (*b)[std::size_t(slot & BlockMask)] : None;
    }
    void set(int slot, qint64 key);

    // `count` slots, none of them read.
    void reset(int count);
    void clear();

    void insert(int at, const std::vector<qint64>& keys);
    void insert(int at, qint64 key) { insert(at, std::vector<qint64>{key}); }
    void erase(int at, int count = 1);
    void pushBack(qint64 key);
    void popBack();

    // The first slot from `from` on holding key (never None), or -1.
    int indexOf(qint64 key, int from = 0) const;
    // The nearest slot before `slot` holding a key, or -1; the nearest after
    // it and before `end` holding one, or `end`.
    int readBefore(int slot) const;
    int readAfter(int slot, int end) const;

private:
    static constexpr int BlockBits = 10;
    static constexpr int BlockSlots = 1 << BlockBits;
    static constexpr int BlockMask = BlockSlots - 1;
    using Block = std::array<qint64, BlockSlots>;

    std::vector<std::unique_ptr<Block>> m_blocks;
    int m_size = 0;

    static std::size_t blocksFor(int count) { return std::size_t((count + BlockSlots - 1) >> BlockBits); }
    void resizeTo(int count);
    // Slots [from, to) emptied; whole blocks released.
    void emptyRange(int from, int to);
    // The slots [from, from + count) copied to [to, to + count), overlapping
    // either way; empty stretches copied a block at a time.
    void move(int from, int to, int count);
};
