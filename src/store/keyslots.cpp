#include "keyslots.h"

#include <algorithm>
#include <cstring>

void KeySlots::set(int slot, qint64 key) {
    auto& block = m_blocks[std::size_t(slot >> BlockBits)];
    if (!block) {
        if (key == None) return;
        block = std::make_unique<Block>();
        block->fill(None);
    }
    (*block)[std::size_t(slot & BlockMask)] = key;
}

void KeySlots::reset(int count) {
    m_blocks.clear();
    m_blocks.resize(blocksFor(count));
    m_size = count;
}

void KeySlots::clear() {
    m_blocks.clear();
    m_blocks.shrink_to_fit();
    m_size = 0;
}

void KeySlots::resizeTo(int count) {
    // Slots past the end stay empty, so that growing again shows none of them.
    if (count < m_size) emptyRange(count, m_size);
    m_blocks.resize(blocksFor(count));
    m_size = count;
}

void KeySlots::emptyRange(int from, int to) {
    while (from < to) {
        const int end = std::min(to, (from | BlockMask) + 1);
        auto& block = m_blocks[std::size_t(from >> BlockBits)];
        if (block) {
            if (end - from == BlockSlots) block.reset();
            else std::fill(block->begin() + (from & BlockMask), block->begin() + ((end - 1) & BlockMask) + 1, None);
        }
        from = end;
    }
}

void KeySlots::move(int from, int to, int count) {
    if (count <= 0 || from == to) return;
    // One stretch lying in one block at each end; memmove takes the overlap.
    const auto copy = [this](int source, int target, int n) {
        const Block* src = m_blocks[std::size_t(source >> BlockBits)].get();
        if (!src) {
            emptyRange(target, target + n);
            return;
        }
        auto& dst = m_blocks[std::size_t(target >> BlockBits)];
        if (!dst) {
            dst = std::make_unique<Block>();
            dst->fill(None);
        }
        std::memmove(dst->data() + (target & BlockMask), src->data() + (source & BlockMask), std::size_t(n) * sizeof(qint64));
    };
    if (to > from) {
        // Towards the end: the last slots first.
        for (int left = count; left > 0;) {
            const int s = from + left - 1, t = to + left - 1;
            const int n = std::min({left, (s & BlockMask) + 1, (t & BlockMask) + 1});
            copy(s - n + 1, t - n + 1, n);
            left -= n;
        }
    } else {
        for (int done = 0; done < count;) {
            const int s = from + done, t = to + done;
            const int n = std::min({count - done, BlockSlots - (s & BlockMask), BlockSlots - (t & BlockMask)});
            copy(s, t, n);
            done += n;
        }
    }
}

void KeySlots::insert(int at, const std::vector<qint64>& keys) {
    const int n = int(keys.size()), old = m_size;
    if (n == 0) return;
    resizeTo(old + n);
    move(at, at + n, old - at);
    for (int i = 0; i < n; ++i) set(at + i, keys[std::size_t(i)]);
}

void KeySlots::erase(int at, int count) {
    if (count <= 0) return;
    move(at + count, at, m_size - at - count);
    resizeTo(m_size - count);
}

void KeySlots::pushBack(qint64 key) {
    resizeTo(m_size + 1);
    set(m_size - 1, key);
}

void KeySlots::popBack() { resizeTo(m_size - 1); }

int KeySlots::indexOf(qint64 key, int from) const {
    for (int slot = std::max(0, from); slot < m_size;) {
        const Block* b = m_blocks[std::size_t(slot >> BlockBits)].get();
        const int end = std::min(m_size, (slot | BlockMask) + 1);
        if (b) {
            const auto first = b->begin() + (slot & BlockMask);
            const auto it = std::find(first, first + (end - slot), key);
            if (it != first + (end - slot)) return slot + int(it - first);
        }
        slot = end;
    }
    return -1;
}

int KeySlots::readBefore(int slot) const {
    for (int s = std::min(slot, m_size) - 1; s >= 0;) {
        const Block* b = m_blocks[std::size_t(s >> BlockBits)].get();
        if (!b) {
            s = (s & ~BlockMask) - 1;
            continue;
        }
        if ((*b)[std::size_t(s & BlockMask)] != None) return s;
        --s;
    }
    return -1;
}

int KeySlots::readAfter(int slot, int end) const {
    end = std::min(end, m_size);
    for (int s = std::max(0, slot + 1); s < end;) {
        const Block* b = m_blocks[std::size_t(s >> BlockBits)].get();
        if (!b) {
            s = (s | BlockMask) + 1;
            continue;
        }
        if ((*b)[std::size_t(s & BlockMask)] != None) return s;
        ++s;
    }
    return end;
}
