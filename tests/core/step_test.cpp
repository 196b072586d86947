// Behaviour of the generation step that is easy to get wrong, checked on both the
// production step and the literal one.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "core/automaton.h"
#include "core/reference_step.h"

namespace orvex {
namespace {

enum Rule { kConway = 4, kHighLife = 6, kServiettes = 9, k2x2 = 0 };
enum GenRule { kBrain6 = 3, kSediMental = 6 };

using Cells = std::set<std::pair<int, int>>;

template <typename Field>
class StepTest : public ::testing::Test {
protected:
    Field& make(int family, int rule, int size = 100, int wrap = 0) {
        FieldSetup s;
        s.family = family;
        s.life_rule = rule;
        s.field_size = size;
        s.wraps = wrap != 0;
        field = std::make_unique<Field>(s);
        field->clear();
        return *field;
    }
    // Non-empty cells with their values.
    std::vector<std::tuple<int, int, int>> contents() const {
        std::vector<std::tuple<int, int, int>> out;
        const int n = field->field_size();
        for (int i = 0; i < n; ++i)
            for (int j = 0; j < n; ++j)
                if (field->cell(i, j) != 0) out.emplace_back(i, j, field->cell(i, j));
        return out;
    }
    Cells live() const {
        Cells out;
        for (auto [i, j, v] : contents()) out.insert({i, j});
        return out;
    }
    std::unique_ptr<Field> field;
};

using Implementations = ::testing::Types<Automaton, ReferenceAutomaton>;
TYPED_TEST_SUITE(StepTest, Implementations);

TYPED_TEST(StepTest, ClosedCornerCellCountsItselfThriceAndIsStill) {
    for (auto [i, j] : {std::pair{0, 0}, {0, 99}, {99, 0}, {99, 99}}) {
        auto& f = this->make(0, kConway);
        f.set_cell(i, j, 1);
        for (int k = 0; k < 5; ++k) f.step();
        EXPECT_EQ(this->live(), (Cells{{i, j}})) << "corner " << i << "," << j;
    }
    auto& wrapped = this->make(0, kConway, 100, 1);
    wrapped.set_cell(0, 0, 1);
    wrapped.step();
    EXPECT_TRUE(this->live().empty());
}

TYPED_TEST(StepTest, ClosedEdgeCellCountsItselfOnceAndItsEdgeNeighboursTwice) {
    // Serviettes: born on 2, 3, 4, survives nothing. The lone top-row cell sees
    // itself once (n = 1) and dies; its two row neighbours see it twice (n = 2).
    auto& f = this->make(0, kServiettes);
    f.set_cell(0, 50, 1);
    f.step();
    EXPECT_EQ(this->live(), (Cells{{0, 49}, {0, 51}}));

    // 2x2 survives on 1: the same cell stays, while one in the middle (n = 0) dies.
    auto& g = this->make(0, k2x2);
    g.set_cell(0, 50, 1);
    g.set_cell(50, 50, 1);
    g.step();
    EXPECT_EQ(this->live(), (Cells{{0, 50}}));
}

TYPED_TEST(StepTest, BirthIsTestedBeforeSurvival) {
    // High Life: a live cell with 6 live neighbours is in the birth set only.
    auto& f = this->make(0, kHighLife);
    f.set_cell(50, 50, 1);
    for (auto [i, j] : {std::pair{49, 49}, {49, 50}, {49, 51}, {51, 49}, {51, 50}, {51, 51}}) f.set_cell(i, j, 1);
    f.step();
    EXPECT_EQ(f.cell(50, 50), 1);
    // Serviettes keeps a cell only through its birth set: in a 2x2 block (n = 3) all
    // four stay; a lone pair (n = 1) dies.
    auto& g = this->make(0, kServiettes);
    for (auto [i, j] : {std::pair{10, 10}, {10, 11}, {11, 10}, {11, 11}}) g.set_cell(i, j, 1);
    g.set_cell(50, 50, 1);
    g.set_cell(50, 51, 1);
    g.step();
    for (auto [i, j] : {std::pair{10, 10}, {10, 11}, {11, 10}, {11, 11}}) EXPECT_EQ(g.cell(i, j), 1);
    EXPECT_EQ(g.cell(50, 50), 0);
    EXPECT_EQ(g.cell(50, 51), 0);
}

TYPED_TEST(StepTest, TorusCarriesASpaceshipAcrossTheEdgeInItsRow) {
    // A lightweight spaceship moves two columns every four generations; on a torus
    // the whole field is then the start field shifted along its rows.
    auto& f = this->make(0, kConway, 100, 1);
    const char* ship[] = {".O..O", "O....", "O...O", "OOOO."};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 5; ++c)
            if (ship[r][c] == 'O') f.set_cell(40 + r, 94 + c, 1);
    const Cells start = this->live();
    auto shifted = [&](int d) {
        Cells out;
        for (auto [i, j] : start) out.insert({i, ((j + d) % 100 + 100) % 100});
        return out;
    };
    for (int k = 0; k < 4; ++k) f.step();
    const int dir = this->live() == shifted(2) ? 1 : -1;
    ASSERT_EQ(this->live(), shifted(2 * dir));
    for (int k = 0; k < 4 * 29; ++k) f.step();
    EXPECT_EQ(this->live(), shifted(60 * dir));  // 60 columns: it has crossed the edge
}

TYPED_TEST(StepTest, GenerationBrain6DyingCellsAgeAndDoNotCount) {
    auto& f = this->make(1, kBrain6);
    f.set_cell(50, 50, 1);
    f.step();
    EXPECT_EQ(this->contents(), (std::vector<std::tuple<int, int, int>>{{50, 50, 2}}));
    f.step();
    EXPECT_TRUE(this->contents().empty());

    // (50, 51) has one live neighbour and one dying one: with the dying one counted
    // it would be born (Brain 6 is born on 2).
    auto& g = this->make(1, kBrain6);
    g.set_cell(50, 50, 2);
    g.set_cell(50, 52, 1);
    g.step();
    EXPECT_EQ(this->contents(), (std::vector<std::tuple<int, int, int>>{{50, 52, 2}}));
}

TYPED_TEST(StepTest, ModifiedBrain6LastStateHoldsUntilBorn) {
    auto& f = this->make(2, kBrain6);
    f.set_cell(50, 50, 1);
    for (int k = 0; k < 4; ++k) {
        f.step();
        EXPECT_EQ(this->contents(), (std::vector<std::tuple<int, int, int>>{{50, 50, 2}}));
    }
    // Seeded in the last state: with two live neighbours it is born again...
    auto& g = this->make(2, kBrain6);
    g.set_cell(50, 50, 2);
    g.set_cell(49, 49, 1);
    g.set_cell(49, 51, 1);
    g.step();
    EXPECT_EQ(g.cell(50, 50), 1);
    // ...and without any, its buffer is still clear from the seeding, so it empties.
    auto& h = this->make(2, kBrain6);
    h.set_cell(50, 50, 2);
    h.step();
    EXPECT_EQ(h.cell(50, 50), 0);
}

TYPED_TEST(StepTest, ModifiedSediMentalAgesByTwo) {
    // L = 4: a state-2 cell ages to 3 in place; 3 is the last state, so outside the
    // survive set it goes straight to 0. With 4 live neighbours it keeps 3.
    auto& f = this->make(2, kSediMental);
    f.set_cell(20, 20, 2);
    f.set_cell(60, 60, 2);
    for (auto [i, j] : {std::pair{59, 59}, {59, 61}, {61, 59}, {61, 61}}) f.set_cell(i, j, 1);
    f.step();
    EXPECT_EQ(f.cell(20, 20), 0);
    EXPECT_EQ(f.cell(60, 60), 3);
}

TYPED_TEST(StepTest, UnknownFamilyLeavesTheFieldAlone) {
    auto& f = this->make(7, 0);
    f.set_cell(5, 5, 1);
    f.step();
    EXPECT_EQ(this->live(), (Cells{{5, 5}}));
}

// A value past the rule's states turns the field to 32-bit cells in the middle of a
// seeding; nothing written before is lost, a copy taken before compares by value,
// and the next seeding starts from an empty field again.
TEST(AutomatonCells, ValuePastTheStatesKeepsEverythingWritten) {
    FieldSetup s;
    s.family = 1;
    s.life_rule = 3;  // Brain 6: states 0..2
    s.field_size = 100;
    Automaton f(s);
    f.clear();
    f.set_cell(1, 1, 1);
    f.set_cell(2, 2, 2);
    FieldCopy before;
    f.copy_cells(before);
    const uint64_t version = f.version();
    f.set_cell(3, 3, 61);
    f.set_cell(3, 3, 0);
    EXPECT_TRUE(f.wide());
    EXPECT_NE(f.version(), version);
    EXPECT_TRUE(f.same(before)) << "the same values in either width";
    f.set_cell(3, 3, 61);
    EXPECT_FALSE(f.same(before));
    f.step();
    EXPECT_EQ(f.cell(1, 1), 2);
    EXPECT_EQ(f.cell(2, 2), 0);
    EXPECT_EQ(f.cell(3, 3), 62) << "counts on past the last state";
    EXPECT_EQ(f.population(), 2);
    EXPECT_EQ(f.cells()[3 * 100 + 3], 62);

    f.clear();
    EXPECT_FALSE(f.wide());
    EXPECT_EQ(f.population(), 0);
    f.load(std::vector<int32_t>(10000, 2));
    EXPECT_FALSE(f.wide());
    EXPECT_EQ(f.row(99)[99], 2);
}

// The literal step works on 1000 x 1000 arrays; a smaller field must not touch the rest.
TEST(ReferenceStep, NothingOutsideTheFieldChanges) {
    for (int family = 0; family < 3; ++family)
        for (int wrap = 0; wrap < 2; ++wrap) {
            FieldSetup s;
            s.family = family;
            s.life_rule = 1;
            s.field_size = 100;
            s.wraps = wrap != 0;
            auto r = std::make_unique<ReferenceAutomaton>(s);
            for (int i = 0; i < 1000; i += 7)
                for (int j = 0; j < 1000; j += 3)
                    if (i >= 100 || j >= 100) r->raw_life(i, j) = r->raw_life_to_grow(i, j) = 1;
            for (int i = 0; i < 100; ++i) r->set_cell(i, i, 1);
            for (int k = 0; k < 5; ++k) r->step();
            int changed = 0;
            for (int i = 0; i < 1000; ++i)
                for (int j = 0; j < 1000; ++j)
                    if (i >= 100 || j >= 100) {
                        const int expected = (i % 7 == 0 && j % 3 == 0) ? 1 : 0;
                        changed += r->raw_life(i, j) != expected;
                        changed += r->raw_life_to_grow(i, j) != expected;
                    }
            EXPECT_EQ(changed, 0) << "family " << family << " wrap " << wrap;
        }
}

}  // namespace
}  // namespace orvex
