#include "core/automaton.h"

#include <algorithm>

#include "core/rules.h"

namespace orvex {

std::atomic<uint64_t> Automaton::next_version_{0};

Automaton::Automaton(const FieldSetup& setup, Kernels kernels)
    : family_(setup.rule ? family_for(*setup.rule, setup.family) : setup.family),
      life_rule_(setup.life_rule),
      own_rule_(setup.rule.has_value()),
      field_size_(std::clamp(setup.field_size, kSmallestField, kLargestField)),
      wrap_(setup.wraps),
      states_(2),
      kernels_(&detail::kernels_sse2()) {
    if (kernels == Kernels::Best && detail::kernels_avx2()) kernels_ = detail::kernels_avx2();
    const size_t cells = static_cast<size_t>(field_size_) * field_size_;
    life.assign(cells, 0);
    life_tmp.reserve(cells);  // sized by the first step, so a field never stepped never touches it
    column_sum_.assign(field_size_ + 2, 0);
    if (family_ < 0 || family_ > 2) return;  // the step leaves such a field unchanged
    rule_ = setup.rule ? *setup.rule : catalogue_sets(family_, life_rule_);
    build_tables();
    if (always_wide()) widen();
}

namespace {

// Cells held in bytes or in 32-bit values (the one of the pair in use), compared by value.
struct HeldCells {
    bool wide;
    const std::vector<int8_t>& narrow;
    const std::vector<int32_t>& wide_cells;
};

bool same_values(const HeldCells& a, const HeldCells& b) {
    if (a.wide == b.wide) return a.wide ? a.wide_cells == b.wide_cells : a.narrow == b.narrow;
    const HeldCells& narrow = a.wide ? b : a;
    const HeldCells& wide = a.wide ? a : b;
    return std::equal(narrow.narrow.begin(), narrow.narrow.end(), wide.wide_cells.begin(), wide.wide_cells.end());
}

}  // namespace

std::vector<int32_t> FieldCopy::values() const {
    return wide_ ? wide_cells_ : std::vector<int32_t>(narrow_.begin(), narrow_.end());
}

bool operator==(const FieldCopy& a, const FieldCopy& b) {
    return same_values({a.wide_, a.narrow_, a.wide_cells_}, {b.wide_, b.narrow_, b.wide_cells_});
}

std::vector<int32_t> Automaton::cells() const {
    return wide_ ? wide_life_ : std::vector<int32_t>(life.begin(), life.end());
}

void Automaton::copy_cells(FieldCopy& to) const {
    to.wide_ = wide_;
    if (wide_) {
        to.wide_cells_ = wide_life_;
        to.narrow_.clear();
    } else {
        to.narrow_ = life;
        to.wide_cells_.clear();
    }
}

bool Automaton::same(const FieldCopy& copy) const {
    return same_values({wide_, life, wide_life_}, {copy.wide_, copy.narrow_, copy.wide_cells_});
}

void Automaton::widen() {
    wide_life_.assign(life.begin(), life.end());
    wide_life_tmp_.reserve(wide_life_.size());
    wide_column_sum_.assign(field_size_ + 2, 0);
    wide_ = true;
}

void Automaton::build_tables() {
    states_ = rule_.states;
    by_blocks_ = !rule_.totalistic();
    if (by_blocks_) {
        // Bit 3c + r of a block is column c, row r; the centre (bit 4) is the cell itself.
        constexpr int kNeighbourBit[9] = {0, 3, 5, 1, -1, 6, 2, 4, 7};
        for (unsigned block = 0; block < 512; ++block) {
            unsigned k = 0;
            for (int b = 0; b < 9; ++b)
                if (kNeighbourBit[b] >= 0 && (block >> b & 1)) k |= 1u << kNeighbourBit[b];
            blocks_[block] = static_cast<uint8_t>(rule_.birth.test(k) | rule_.survive.test(k) << 1);
        }
        return;
    }
    const unsigned born = born_bits_ = rule_.birth_counts(), survive = survive_bits_ = rule_.survive_counts();
    for (int n = 0; n <= 8; ++n) {
        const bool b = born >> n & 1, k = survive >> n & 1;
        if (family_ != kLifeRules) {
            if (b) born_counts_[born_n_++] = n;
            if (k) survive_counts_[survive_n_++] = n;
        } else if (b && k) {
            born_counts_[born_n_++] = n;
        } else if (k) {
            survive_counts_[survive_n_++] = n;
        } else if (b) {
            born_only_counts_[born_only_n_++] = n;
        }
    }
}

void Automaton::clear() {
    if (!known_empty_) std::fill(life.begin(), life.end(), 0);
    known_empty_ = true;
    if (!always_wide())
        wide_ = false;
    else
        std::fill(wide_life_.begin(), wide_life_.end(), 0);
    life_to_grow_cleared_ = true;
    changed_ = true;
}

void Automaton::load(const std::vector<int32_t>& values) {
    clear();
    const size_t n = std::min(values.size(), life.size());
    if (!std::all_of(values.begin(), values.begin() + n, [this](int32_t v) { return fits_byte(v); })) widen();
    known_empty_ = false;
    if (wide_)
        std::copy_n(values.begin(), n, wide_life_.begin());
    else
        std::transform(values.begin(), values.begin() + n, life.begin(),
                       [](int32_t v) { return static_cast<int8_t>(v); });
}

int64_t Automaton::population() const {
    if (wide_) return std::count_if(wide_life_.begin(), wide_life_.end(), [](int32_t v) { return v != 0; });
    return std::count_if(life.begin(), life.end(), [](int8_t v) { return v != 0; });
}

// Row by row into life_tmp, then the two swap: the new generation depends only on
// the old one. Rows above and below are clamped onto the edge with closed borders
// (the edge row counts twice) and wrap around with transparent ones.
void Automaton::step() {
    if (family_ < 0 || family_ > 2) return;
    if (wide_)
        step_cells(kernels_->wide, wide_life_, wide_life_tmp_, wide_column_sum_);
    else
        step_cells(kernels_->narrow, life, life_tmp, column_sum_);
    changed_ = true;
    known_empty_ = false;
    // A Modified Generation buffer now holds the field; the other families don't care.
    life_to_grow_cleared_ = false;
}

template <typename Cell>
void Automaton::step_cells(const detail::FamilyKernels<Cell>& kernels, std::vector<Cell>& cells,
                           std::vector<Cell>& next, std::vector<Cell>& column_sum) {
    const auto row_kernel = by_blocks_                    ? kernels.blocks[family_]
                            : family_ == kLifeRules       ? kernels.life
                            : family_ == kGenerationRules ? kernels.generation
                                                          : kernels.modified;
    const int n = field_size_;
    if (next.size() != cells.size()) next.resize(cells.size());  // within the reserved room
    detail::RowJob<Cell> job{};
    job.v = column_sum.data();
    job.n = n;
    job.wrap = wrap_;
    job.last = states_ - 1;
    job.born_bits = born_bits_;
    job.survive_bits = survive_bits_;
    job.born = born_counts_;
    job.born_n = born_n_;
    job.keep = survive_counts_;
    job.keep_n = survive_n_;
    job.born_only = born_only_counts_;
    job.born_only_n = born_only_n_;
    job.blocks = blocks_.data();
    job.cleared = life_to_grow_cleared_;
    for (int i = 0; i < n; ++i) {
        const int up = i == 0 ? (wrap_ ? n - 1 : 0) : i - 1;
        const int down = i == n - 1 ? (wrap_ ? 0 : n - 1) : i + 1;
        job.up = &cells[index(up, 0)];
        job.mid = &cells[index(i, 0)];
        job.dn = &cells[index(down, 0)];
        job.out = &next[index(i, 0)];
        row_kernel(job);
    }
    cells.swap(next);
}

}  // namespace orvex
