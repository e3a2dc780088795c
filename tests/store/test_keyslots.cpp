// The slots of a cursor's keys against a plain array of them: long runs of
// operations on lists a few blocks long, most slots never read.
#include "store/keyslots.h"
#include "support/testmain.h"

#include <random>
#include <vector>

namespace {

constexpr qint64 None = KeySlots::None;

// Everything the slots tell, checked against the model.
void expectSame(const KeySlots& kept, const std::vector<qint64>& model, std::mt19937& rng) {
    const int n = int(model.size());
    ASSERT_EQ(kept.size(), n);
    for (int i = 0; i < n; ++i) ASSERT_EQ(kept[i], model[std::size_t(i)]) << "slot " << i;
    for (int probe = 0; probe < 20 && n > 0; ++probe) {
        const int at = int(rng() % unsigned(n));
        int before = at - 1, after = at + 1;
        while (before >= 0 && model[std::size_t(before)] == None) --before;
        while (after < n && model[std::size_t(after)] == None) ++after;
        EXPECT_EQ(kept.readBefore(at), before) << "before " << at;
        EXPECT_EQ(kept.readAfter(at, n), after) << "after " << at;
        const int end = at + int(rng() % 3000);
        int bounded = at + 1;
        while (bounded < std::min(end, n) && model[std::size_t(bounded)] == None) ++bounded;
        EXPECT_EQ(kept.readAfter(at, end), std::min(bounded, std::min(end, n)));
        if (const qint64 key = model[std::size_t(at)]; key != None) {
            const int from = int(rng() % unsigned(at + 1));
            int first = from;
            while (model[std::size_t(first)] != key) ++first;
            EXPECT_EQ(kept.indexOf(key, from), first);
            EXPECT_EQ(kept.indexOf(key, at + 1), -1);
        }
    }
    EXPECT_EQ(kept.indexOf(-7), -1);
}

TEST(KeySlots, AgreeWithAPlainArrayThroughEveryChange) {
    std::mt19937 rng(20261207);
    KeySlots kept;
    std::vector<qint64> model;
    qint64 next = 1;
    const auto some = [&](int limit) { return int(rng() % unsigned(limit)); };
    for (int round = 0; round < 3000; ++round) {
        const int n = int(model.size());
        switch (some(10)) {
        case 0: {   // a list read again
            const int count = some(6000);
            kept.reset(count);
            model.assign(std::size_t(count), None);
            break;
        }
        case 1:
        case 2:
        case 3: {   // a page of keys read at some place
            if (n == 0) break;
            const int at = some(n), len = std::min(n - at, 1 + some(60));
            for (int i = 0; i < len; ++i) kept.set(at + i, next), model[std::size_t(at + i)] = next++;
            break;
        }
        case 4: {   // rows found beyond a stretch (some kept left unread among them)
            const int at = some(n + 1), len = 1 + some(some(2) ? 5 : 1500);
            std::vector<qint64> keys;
            for (int i = 0; i < len; ++i) keys.push_back(some(4) ? next++ : None);
            kept.insert(at, keys);
            model.insert(model.begin() + at, keys.begin(), keys.end());
            break;
        }
        case 5: {   // rows gone, now and then whole blocks of them from a block's start
            if (n == 0) break;
            const bool whole = some(3) == 0;
            const int at = whole ? some(n) / 1024 * 1024 : some(n);
            const int len = std::min(n - at, whole ? 1024 * (1 + some(2)) : 1 + some(some(2) ? 3 : 2500));
            kept.erase(at, len);
            model.erase(model.begin() + at, model.begin() + at + len);
            break;
        }
        case 6:     // a row added at the end, and sometimes taken back
            kept.pushBack(next);
            model.push_back(next++);
            if (some(2)) kept.popBack(), model.pop_back();
            break;
        case 7:     // a slot emptied again
            if (n > 0) {
                const int at = some(n);
                kept.set(at, None);
                model[std::size_t(at)] = None;
            }
            break;
        default:
            break;
        }
        expectSame(kept, model, rng);
        if (::testing::Test::HasFailure()) FAIL() << "after round " << round;
    }
    kept.clear();
    EXPECT_TRUE(kept.empty());
    kept.reset(3000);
    EXPECT_EQ(kept[2999], None);
    EXPECT_EQ(kept.readBefore(3000), -1);
}

}

TARVEL_TEST_MAIN()
