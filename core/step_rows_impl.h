// Body of the row kernels, included once per instruction set with ORVEX_KERNEL_NS
// and ORVEX_VECTOR_BYTES defined. Lanes where a comparison holds become all ones.
#include <cstring>

#include "core/step_rows.h"
#include "core/transition.h"

namespace orvex::detail::ORVEX_KERNEL_NS {
namespace {

using Vec = int32_t __attribute__((vector_size(ORVEX_VECTOR_BYTES)));
constexpr int kLanes = ORVEX_VECTOR_BYTES / 4;

inline Vec vload(const int32_t* p) {
    Vec v;
    std::memcpy(&v, p, sizeof v);
    return v;
}
inline void vstore(int32_t* p, Vec v) { std::memcpy(p, &v, sizeof v); }
inline Vec splat(int32_t x) { return Vec{} + x; }
inline Vec select(Vec mask, Vec a, Vec b) { return (a & mask) | (b & ~mask); }
inline Vec any_of(Vec count, const Vec* counts, int n) {
    Vec m{};
    for (int q = 0; q < n; ++q) m |= (count == counts[q]);
    return m;
}

// The rule's count lists as broadcast vectors, local so no store can alias them.
struct CountSets {
    Vec born[9], keep[9];
    int born_n, keep_n;
    explicit CountSets(const RowJob& r) : born_n(r.born_n), keep_n(r.keep_n) {
        for (int q = 0; q < born_n; ++q) born[q] = splat(r.born[q]);
        for (int q = 0; q < keep_n; ++q) keep[q] = splat(r.keep[q]);
    }
};

// Cells 0 and n-1 take their outer neighbour by border mode; the rest run in vectors.
template <typename Scalar, typename Vector>
inline void run_row(const RowJob& r, Scalar scalar, Vector vector) {
    const int n = r.n;
    scalar(0, r.wrap ? n - 1 : 0, 1);
    int j = 1;
    for (; j + kLanes <= n - 1; j += kLanes) vector(j);
    for (; j < n - 1; ++j) scalar(j, j - 1, j + 1);
    scalar(n - 1, n - 2, r.wrap ? 0 : n - 1);
}

// Life family: the count is the plain sum of the neighbours' values.
void life_row(const RowJob& r) {
    const int32_t *up = r.up, *mid = r.mid, *dn = r.dn;
    int32_t *out = r.out, *v = r.v;
    int k = 0;
    for (; k + kLanes <= r.n; k += kLanes) vstore(v + k, vload(up + k) + vload(mid + k) + vload(dn + k));
    for (; k < r.n; ++k) v[k] = up[k] + mid[k] + dn[k];
    const CountSets c(r);
    run_row(
        r, [&](int j, int jl, int jr) { out[j] = next_state(0, r.rule, mid[j], v[jl] + v[j] + v[jr] - mid[j], false); },
        [&](int j) {
            const Vec m = vload(mid + j);
            const Vec count = vload(v + j - 1) + vload(v + j) + vload(v + j + 1) - m;
            const Vec born = any_of(count, c.born, c.born_n);
            const Vec keep = any_of(count, c.keep, c.keep_n);
            vstore(out + j, (born & 1) | (keep & m));
        });
}

// Generations families: the count is of neighbours in exactly state 1.
template <bool kModified>
void generations_row(const RowJob& r) {
    const int32_t *up = r.up, *mid = r.mid, *dn = r.dn;
    int32_t *out = r.out, *v = r.v;
    const int family = kModified ? 2 : 1;
    const Vec one = splat(1), zero{}, last = splat(r.rule.states - 1);
    int k = 0;
    for (; k + kLanes <= r.n; k += kLanes)
        vstore(v + k, -((vload(up + k) == one) + (vload(mid + k) == one) + (vload(dn + k) == one)));
    for (; k < r.n; ++k) v[k] = (up[k] == 1) + (mid[k] == 1) + (dn[k] == 1);
    const CountSets c(r);
    run_row(
        r,
        [&](int j, int jl, int jr) {
            const int count = v[jl] + v[j] + v[jr] - (mid[j] == 1);
            out[j] = next_state(family, r.rule, mid[j], count, r.cleared);
        },
        [&](int j) {
            const Vec s = vload(mid + j);
            const Vec is_live = s == one;
            const Vec count = vload(v + j - 1) + vload(v + j) + vload(v + j + 1) + is_live;
            const Vec born = any_of(count, c.born, c.born_n);
            const Vec keep = any_of(count, c.keep, c.keep_n);
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
            vstore(out + j, next);
        });
}

}  // namespace

const StepKernels& kernels() {
    static const StepKernels k{life_row, generations_row<false>, generations_row<true>};
    return k;
}

}  // namespace orvex::detail::ORVEX_KERNEL_NS
