// Body of the row kernels, included once per instruction set with ORVEX_KERNEL_NS
// and ORVEX_VECTOR_BYTES defined. Lanes where a comparison holds become all ones.
#include <cstring>

#include "core/step_rows.h"
#include "core/transition.h"

namespace orvex::detail::ORVEX_KERNEL_NS {
namespace {

template <typename Cell>
struct VectorOf;
template <>
struct VectorOf<int8_t> {
    using type = int8_t __attribute__((vector_size(ORVEX_VECTOR_BYTES)));
};
template <>
struct VectorOf<int32_t> {
    using type = int32_t __attribute__((vector_size(ORVEX_VECTOR_BYTES)));
};

template <typename Cell>
struct Lanes {
    using Vec = typename VectorOf<Cell>::type;
    static constexpr int kCount = ORVEX_VECTOR_BYTES / sizeof(Cell);

    static Vec load(const Cell* p) {
        Vec v;
        std::memcpy(&v, p, sizeof v);
        return v;
    }
    static void store(Cell* p, Vec v) { std::memcpy(p, &v, sizeof v); }
    static Vec splat(int x) { return Vec{} + static_cast<Cell>(x); }
    static Vec select(Vec mask, Vec a, Vec b) { return (a & mask) | (b & ~mask); }
    static Vec any_of(Vec count, const Vec* counts, int n) {
        Vec m{};
        for (int q = 0; q < n; ++q) m |= (count == counts[q]);
        return m;
    }
};

// The rule's count lists as broadcast vectors, local so no store can alias them.
template <typename Cell>
struct CountSets {
    using L = Lanes<Cell>;
    typename L::Vec born[9], keep[9], born_only[9];
    int born_n, keep_n, born_only_n;
    explicit CountSets(const RowJob<Cell>& r) : born_n(r.born_n), keep_n(r.keep_n), born_only_n(r.born_only_n) {
        for (int q = 0; q < born_n; ++q) born[q] = L::splat(r.born[q]);
        for (int q = 0; q < keep_n; ++q) keep[q] = L::splat(r.keep[q]);
        for (int q = 0; q < born_only_n; ++q) born_only[q] = L::splat(r.born_only[q]);
    }
};

// Cells 0 and n-1 take their outer neighbour by border mode; the rest run in vectors.
template <typename Cell, typename Scalar, typename Vector>
inline void run_row(const RowJob<Cell>& r, Scalar scalar, Vector vector) {
    constexpr int kLanes = Lanes<Cell>::kCount;
    const int n = r.n;
    scalar(0, r.wrap ? n - 1 : 0, 1);
    int j = 1;
    for (; j + kLanes <= n - 1; j += kLanes) vector(j);
    if (j < n - 1 && j > 1)
        vector(n - 1 - kLanes);  // the rest, overlapping cells already done: out is not read
    else
        for (; j < n - 1; ++j) scalar(j, j - 1, j + 1);
    scalar(n - 1, n - 2, r.wrap ? 0 : n - 1);
}

// v[k] = sum(k) for every column, by vectors; the last one overlaps the one before.
template <typename Cell, typename Scalar, typename Vector>
inline void column_sums(int n, Scalar scalar, Vector vector) {
    constexpr int kLanes = Lanes<Cell>::kCount;
    int k = 0;
    for (; k + kLanes <= n; k += kLanes) vector(k);
    if (k < n && k > 0)
        vector(n - kLanes);
    else
        for (; k < n; ++k) scalar(k);
}

// Life family: the count is the plain sum of the neighbours' values (byte cells
// hold only 0 and 1, so a byte holds the sum). kBornOnly: some counts are born
// from an empty cell and kill a live one.
template <typename Cell, bool kBornOnly>
void life_row_of(const RowJob<Cell>& r) {
    using L = Lanes<Cell>;
    using Vec = typename L::Vec;
    const Cell *up = r.up, *mid = r.mid, *dn = r.dn;
    Cell *out = r.out, *v = r.v;
    column_sums<Cell>(
        r.n, [&](int k) { v[k] = static_cast<Cell>(up[k] + mid[k] + dn[k]); },
        [&](int k) { L::store(v + k, L::load(up + k) + L::load(mid + k) + L::load(dn + k)); });
    const CountSets<Cell> c(r);
    run_row(
        r,
        [&](int j, int jl, int jr) {
            out[j] = static_cast<Cell>(
                next_state(0, r.last, r.born_bits, r.survive_bits, mid[j], v[jl] + v[j] + v[jr] - mid[j], false));
        },
        [&](int j) {
            const Vec m = L::load(mid + j);
            const Vec count = L::load(v + j - 1) + L::load(v + j) + L::load(v + j + 1) - m;
            const Vec born = L::any_of(count, c.born, c.born_n);
            const Vec keep = L::any_of(count, c.keep, c.keep_n);
            Vec next = (born & 1) | (keep & m);
            if (kBornOnly) next |= L::any_of(count, c.born_only, c.born_only_n) & (m == Vec{}) & 1;
            L::store(out + j, next);
        });
}

template <typename Cell>
void life_row(const RowJob<Cell>& r) {
    if (r.born_only_n)
        life_row_of<Cell, true>(r);
    else
        life_row_of<Cell, false>(r);
}

// Generations families: the count is of neighbours in exactly state 1.
template <typename Cell, bool kModified>
void generations_row(const RowJob<Cell>& r) {
    using L = Lanes<Cell>;
    using Vec = typename L::Vec;
    const auto select = L::select;
    const Cell *up = r.up, *mid = r.mid, *dn = r.dn;
    Cell *out = r.out, *v = r.v;
    const int family = kModified ? 2 : 1;
    const Vec one = L::splat(1), zero{}, last = L::splat(r.last);
    column_sums<Cell>(
        r.n, [&](int k) { v[k] = static_cast<Cell>((up[k] == 1) + (mid[k] == 1) + (dn[k] == 1)); },
        [&](int k) {
            L::store(v + k, -((L::load(up + k) == one) + (L::load(mid + k) == one) + (L::load(dn + k) == one)));
        });
    const CountSets<Cell> c(r);
    run_row(
        r,
        [&](int j, int jl, int jr) {
            const int count = v[jl] + v[j] + v[jr] - (mid[j] == 1);
            out[j] =
                static_cast<Cell>(next_state(family, r.last, r.born_bits, r.survive_bits, mid[j], count, r.cleared));
        },
        [&](int j) {
            const Vec s = L::load(mid + j);
            const Vec is_live = s == one;
            const Vec count = L::load(v + j - 1) + L::load(v + j) + L::load(v + j + 1) + is_live;
            const Vec born = L::any_of(count, c.born, c.born_n);
            const Vec keep = L::any_of(count, c.keep, c.keep_n);
            const Vec older = (s + 1) & ~(s == last);  // next state of a dying cell
            Vec next;
            if (!kModified) {
                // An empty cell's "older" is 1, so birth is just a mask over it.
                next = select(s == zero, born & one, select(is_live & keep, one, older));
            } else {
                const Vec t = select(s > one, older, s);  // aged in place first
                const Vec reborn = select(born, one, r.cleared ? zero : s);
                const Vec aged = select(keep, t, (t + 1) & ~(t == last));
                next = select(t == zero, reborn, aged);
            }
            L::store(out + j, next);
        });
}

// Non-totalistic rules: each column's three cells as three bits (live: state 1),
// then the 3 x 3 block of a cell as nine bits, rolled along the row, picks the
// entry of the rule's table. v holds the codes of columns -1..n.
template <typename Cell, int kFamily>
void blocks_row(const RowJob<Cell>& r) {
    const Cell *up = r.up, *mid = r.mid, *dn = r.dn;
    Cell *out = r.out, *v = r.v;
    const int n = r.n;
    for (int k = 0; k < n; ++k) v[k + 1] = static_cast<Cell>((up[k] == 1) | (mid[k] == 1) << 1 | (dn[k] == 1) << 2);
    v[0] = r.wrap ? v[n] : v[1];
    v[n + 1] = r.wrap ? v[1] : v[n];
    unsigned block = static_cast<unsigned>(v[0]) << 3 | static_cast<unsigned>(v[1]) << 6;
    for (int j = 0; j < n; ++j) {
        block = block >> 3 | static_cast<unsigned>(v[j + 2]) << 6;
        const unsigned t = r.blocks[block];
        out[j] = static_cast<Cell>(next_state(kFamily, r.last, mid[j], t & 1, t & 2, r.cleared));
    }
}

}  // namespace

const StepKernels& kernels() {
    static const StepKernels k{
        {life_row<int8_t>,
         generations_row<int8_t, false>,
         generations_row<int8_t, true>,
         {blocks_row<int8_t, 0>, blocks_row<int8_t, 1>, blocks_row<int8_t, 2>}},
        {life_row<int32_t>,
         generations_row<int32_t, false>,
         generations_row<int32_t, true>,
         {blocks_row<int32_t, 0>, blocks_row<int32_t, 1>, blocks_row<int32_t, 2>}},
    };
    return k;
}

}  // namespace orvex::detail::ORVEX_KERNEL_NS
