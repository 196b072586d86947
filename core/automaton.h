// The cell field and its generation step.
//
// A square field of field_size x field_size cells, addressed (i, j): i the row
// (first index), j the column. Values: 0 empty, 1 live, 2..L-1 dying (Generations
// families only). The step follows the rule selected by family and life_rule,
// with closed borders (an index past the edge is clamped onto the edge) or
// transparent ones (wraps: the field is a torus).
//
// The step allocates nothing: every buffer is reserved when the automaton is built.
//
// Cells are held as bytes while every value is a state of the rule, which the step
// keeps so. A seed that writes anything else (a grid file may hold values up to 61,
// which count up past the last state) turns the field to 32-bit cells until the next
// seeding starts. Which one is in use shows nowhere but in speed and memory.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/rules.h"
#include "core/step_rows.h"

namespace orvex {

// What a field is: its rule, its size and its borders. A size outside the
// smallest and largest field is brought to the nearer one.
constexpr int kSmallestField = 100;
constexpr int kLargestField = 1000;

struct FieldSetup {
    int family = kLifeRules;  // a RuleFamily
    int life_rule = 0;        // row of the family's tables, in range
    int field_size = kSmallestField;
    bool wraps = false;  // transparent borders: the field is a torus
    // A rule of its own, run in place of the catalogue's (family, life_rule);
    // its family is then family_for(*rule, family).
    std::optional<RuleSets> rule;
};

// One row of cells, read as values.
class CellRow {
public:
    int32_t operator[](int j) const { return narrow_ ? narrow_[j] : wide_[j]; }

private:
    friend class Automaton;
    CellRow(const int8_t* narrow, const int32_t* wide) : narrow_(narrow), wide_(wide) {}
    const int8_t* narrow_;
    const int32_t* wide_;
};

// The cells of a field at one moment, to tell later whether it is back there.
class FieldCopy {
public:
    // The values, row by row.
    std::vector<int32_t> values() const;
    friend bool operator==(const FieldCopy& a, const FieldCopy& b);

private:
    friend class Automaton;
    bool wide_ = false;
    std::vector<int8_t> narrow_;
    std::vector<int32_t> wide_cells_;
};

class Automaton {
public:
    // Which build of the step's inner loops to run: the widest the processor
    // runs, or plain SSE2 (so tests cover both).
    enum class Kernels { Best, Baseline };

    explicit Automaton(const FieldSetup& setup, Kernels kernels = Kernels::Best);

    int field_size() const { return field_size_; }
    int family() const { return family_; }
    int life_rule() const { return life_rule_; }
    bool wraps() const { return wrap_; }
    // The rule as it runs, and whether it is one of the field's own.
    const RuleSets& rule() const { return rule_; }
    bool own_rule() const { return own_rule_; }
    // Number of cell states of the selected rule (2 for the Life family).
    int states() const { return states_; }

    int32_t cell(int i, int j) const { return wide_ ? wide_life_[index(i, j)] : life[index(i, j)]; }
    CellRow row(int i) const {
        return wide_ ? CellRow(nullptr, &wide_life_[index(i, 0)]) : CellRow(&life[index(i, 0)], nullptr);
    }
    // All cells, row by row, field_size values per row.
    std::vector<int32_t> cells() const;
    // Copies the cells into 'to', reusing its memory; same() compares with such a copy.
    void copy_cells(FieldCopy& to) const;
    bool same(const FieldCopy& copy) const;
    // True while the field holds 32-bit cells.
    bool wide() const { return wide_; }

    // A number that changes whenever the cells may have changed (a step, a
    // seeding, a cell written), so a drawer can keep what it built from them
    // until then. Unique across the process: two automatons report the same
    // number only when one is a copy of the other and neither changed since.
    uint64_t version() const {
        if (changed_) {
            version_ = next_version_.fetch_add(1, std::memory_order_relaxed) + 1;
            changed_ = false;
        }
        return version_;
    }

    // Start of a seeding: the field and the Generations buffer become empty.
    void clear();
    // Seeds write cells one by one; values must not be negative.
    void set_cell(int i, int j, int32_t value) {
        if (!wide_ && !fits_byte(value)) widen();
        if (wide_)
            wide_life_[index(i, j)] = value;
        else
            life[index(i, j)] = static_cast<int8_t>(value);
        changed_ = true;
        known_empty_ = false;
    }
    // Replaces the whole field (field_size * field_size values, row by row); counts as a seeding.
    void load(const std::vector<int32_t>& values);

    // One generation.
    void step();

    // Cells that are not empty.
    int64_t population() const;

private:
    size_t index(int i, int j) const { return static_cast<size_t>(i) * field_size_ + j; }
    void build_tables();
    bool fits_byte(int32_t value) const { return value >= 0 && value < states_ && states_ <= 127; }
    bool always_wide() const { return states_ > 127; }  // the step itself makes values a byte can't hold
    void widen();
    template <typename Cell>
    void step_cells(const detail::FamilyKernels<Cell>& kernels, std::vector<Cell>& cells, std::vector<Cell>& next,
                    std::vector<Cell>& column_sum);

    int family_;
    int life_rule_;
    RuleSets rule_;
    bool own_rule_;
    int field_size_;
    bool wrap_;
    int states_;

    std::vector<int8_t> life;      // current generation
    std::vector<int8_t> life_tmp;  // next generation, swapped with life after each step
    bool wide_ = false;            // the field is in the two below instead
    std::vector<int32_t> wide_life_;
    std::vector<int32_t> wide_life_tmp_;
    // The Modified Generation step leaves a cell in the last state unchanged in its
    // buffer. That buffer always equals the field after a step and is all zero after
    // a seeding, so one flag tells which of the two it holds.
    bool life_to_grow_cleared_ = true;
    bool known_empty_ = true;  // nothing written to the byte cells since they were zeroed

    std::vector<int8_t> column_sum_;  // scratch: vertical neighbour sums of one row
    std::vector<int32_t> wide_column_sum_;

    // The rule's counts as lists for the row kernels. For the Life family born_counts_
    // holds the birth counts also in the survive set, survive_counts_ the survive
    // counts not in the birth set and born_only_counts_ the birth counts not in it.
    int born_counts_[9] = {};
    int survive_counts_[9] = {};
    int born_only_counts_[9] = {};
    int born_n_ = 0;
    int survive_n_ = 0;
    int born_only_n_ = 0;
    unsigned born_bits_ = 0, survive_bits_ = 0;
    bool by_blocks_ = false;  // non-totalistic: the step looks each 3 x 3 block up
    std::array<uint8_t, 512> blocks_{};
    const detail::StepKernels* kernels_;

    static std::atomic<uint64_t> next_version_;
    mutable uint64_t version_ = 0;
    mutable bool changed_ = true;
};

}  // namespace orvex
