#include "core/automaton.h"

#include <algorithm>

#include "core/rules.h"

namespace orvex {

std::atomic<uint64_t> Automaton::next_version_{0};

Automaton::Automaton(const Settings& settings, Kernels kernels)
    : family_(settings.Family),
      life_rule_(settings.life_rule),
      field_size_(std::clamp(settings.field_size, kMinFieldSize, kMaxFieldSize)),
      wrap_(settings.MatrixTr != 0),
      states_(2),
      kernels_(&detail::kernels_sse2()) {
    if (kernels == Kernels::Best && detail::kernels_avx2()) kernels_ = detail::kernels_avx2();
    const size_t cells = static_cast<size_t>(field_size_) * field_size_;
    life.assign(cells, 0);
    life_tmp.reserve(cells);  // sized by the first step, so a field never stepped never touches it
    column_sum_.assign(field_size_, 0);
    build_tables();
}

void Automaton::build_tables() {
    if (family_ < 0 || family_ > 2) return;  // the step leaves such a field unchanged
    const RuleView r = rule_view(family_, life_rule_);
    states_ = r.states;
    for (int n = 0; n <= 8; ++n) {
        if (r.born[n]) born_counts_[born_n_++] = n;
        if (r.stable[n] && !(family_ == kFamilyLife && r.born[n])) survive_counts_[survive_n_++] = n;
    }
}

void Automaton::clear() {
    std::fill(life.begin(), life.end(), 0);
    life_to_grow_cleared_ = true;
    changed_ = true;
}

void Automaton::load(const std::vector<int32_t>& values) {
    clear();
    std::copy_n(values.begin(), std::min(values.size(), life.size()), life.begin());
}

int64_t Automaton::population() const {
    return std::count_if(life.begin(), life.end(), [](int32_t v) { return v != 0; });
}

// Row by row into life_tmp, then the two swap: the new generation depends only on
// the old one. Rows above and below are clamped onto the edge with closed borders
// (the edge row counts twice) and wrap around with transparent ones.
void Automaton::step() {
    detail::RowKernel row_kernel;
    switch (family_) {
        case kFamilyLife: row_kernel = kernels_->life; break;
        case kFamilyGeneration: row_kernel = kernels_->generation; break;
        case kFamilyModifiedGeneration: row_kernel = kernels_->modified; break;
        default: return;
    }
    const int n = field_size_;
    if (life_tmp.size() != life.size()) life_tmp.resize(life.size());  // within the reserved room
    detail::RowJob job{};
    job.v = column_sum_.data();
    job.n = n;
    job.wrap = wrap_;
    job.rule = rule_view(family_, life_rule_);
    job.born = born_counts_;
    job.born_n = born_n_;
    job.keep = survive_counts_;
    job.keep_n = survive_n_;
    job.cleared = life_to_grow_cleared_;
    for (int i = 0; i < n; ++i) {
        const int up = i == 0 ? (wrap_ ? n - 1 : 0) : i - 1;
        const int down = i == n - 1 ? (wrap_ ? 0 : n - 1) : i + 1;
        job.up = &life[index(up, 0)];
        job.mid = &life[index(i, 0)];
        job.dn = &life[index(down, 0)];
        job.out = &life_tmp[index(i, 0)];
        row_kernel(job);
    }
    life.swap(life_tmp);
    changed_ = true;
    // A Modified Generation buffer now holds the field; the other families don't care.
    life_to_grow_cleared_ = false;
}

}  // namespace orvex
