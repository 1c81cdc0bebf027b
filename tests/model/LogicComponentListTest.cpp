// The name index of the component list follows every change of the list.
#include "model/LogicComponent.h"

#include <gtest/gtest.h>

#include <random>

using namespace v7300;

namespace {

TLogicComponent Named(const std::string& name) {
    TLogicComponent c;
    c.Name = name;
    return c;
}

// What the index must say, found by scanning the list.
void ExpectIndexMatchesScan(const TLogicComponentList& list, const std::vector<std::string>& names) {
    bool anyDuplicate = false;
    for (const auto& name : names) {
        int first = -1;
        int count = 0;
        for (int i = 0; i < list.Count(); ++i) {
            if (list.Items(i).Name != name) continue;
            if (first < 0) first = i;
            ++count;
        }
        ASSERT_EQ(list.IndexOf(name), first) << name;
        ASSERT_EQ(list.CountOf(name), count) << name;
        anyDuplicate = anyDuplicate || count > 1;
    }
    const std::string dup = list.AnyDuplicateName();
    ASSERT_EQ(!dup.empty(), anyDuplicate);
    ASSERT_TRUE(dup.empty() || list.CountOf(dup) > 1) << dup;
}

} // namespace

TEST(LogicComponentList, NameIndexFollowsAddDeleteRenameClearAndCopy) {
    const std::vector<std::string> names = {"AND1", "AND2", "OR1", "IN1", "in1", "TXT1"};
    for (unsigned seed = 1; seed <= 5; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937 random(seed);
        auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        auto anyName = [&] { return names[static_cast<std::size_t>(pick(static_cast<int>(names.size())))]; };
        TLogicComponentList list;
        for (int step = 0; step < 400; ++step) {
            const int op = pick(10);
            if (op < 5 || list.Count() == 0) list.Add(Named(anyName()));
            else if (op < 7) list.Delete(pick(list.Count()));
            else if (op < 9) list.Rename(pick(list.Count()), anyName());
            else if (step % 50 == 0) list.Clear();
            else list = TLogicComponentList(list);
            ExpectIndexMatchesScan(list, names);
        }
    }
}

TEST(LogicComponentList, EqualityComparesTheComponentsOnly) {
    TLogicComponentList a;
    a.Add(Named("AND1"));
    a.Add(Named("OR1"));
    TLogicComponentList b;
    b.Add(Named("AND1"));
    b.Add(Named("XOR1"));
    EXPECT_FALSE(a == b);
    b.Rename(1, "OR1");
    EXPECT_TRUE(a == b);
    b.Add(Named("AND9"));
    b.Delete(2);
    EXPECT_TRUE(a == b);
}
