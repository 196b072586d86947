#include "seed/seeder.h"

#include <cmath>

#include "config/settings.h"
#include "core/automaton.h"

namespace orvex {

const char* const seed_names[7] = {
    "Random_Points", "Random_Blocks", "Small_Blocks", "Random_Circles", "Big_Circles", "Block 5*5", "Block 25*25",
};

namespace {

constexpr int kPointOdds = 19;    // about one cell in 19 is alive
constexpr int kShapeOdds = 1189;  // a block or small circle at one position in 1189
constexpr int kBigCircleOdds = 2199;

// Sets a cell; positions outside the field are dropped.
void set_live(Automaton& field, long i, long j) {
    const long n = field.field_size();
    if (i >= 0 && i < n && j >= 0 && j < n) field.set_cell(static_cast<int>(i), static_cast<int>(j), 1);
}

// Half-chord of a circle of radius r at distance k from its centre, computed in
// the precision the circles have always been drawn with.
int half_chord(int r, int k) {
    float t = static_cast<float>(k) / static_cast<float>(r);
    t = t * static_cast<float>(k) / static_cast<float>(r);
    const float root = static_cast<float>(std::sqrt(1.0 - static_cast<double>(t)));
    return static_cast<int>(static_cast<float>(r) * root);
}

}  // namespace

Seeder::Seeder(int pattern, CalendarClock clock, std::unique_ptr<RandomSource> random)
    : pattern_(pattern),
      clock_(clock ? std::move(clock) : CalendarClock(system_calendar_time)),
      random_(random ? std::move(random) : std::make_unique<LcgRandom>()) {}

void Seeder::init_field(Automaton& field, ResetCheck& snapshots) {
    if (picture_step_) picture_step_();
    field.clear();
    random_->seed(static_cast<std::uint32_t>(clock_()));

    const int n = field.field_size();
    switch (pattern_) {
        case 0: random_points(field); break;
        case 1: random_blocks(field, n / 20); break;
        case 2: random_blocks(field, n / 100); break;
        case 3: random_circles(field, n / 20, false); break;
        case 4: random_circles(field, n / 3, true); break;
        case 5: centred_square(field, 2); break;
        case 6: centred_square(field, 12); break;
        case kPatternFromFile: field.load(pattern_matrix_); break;
        default: break;  // codes 7..9 and others seed nothing
    }
    snapshots.take_snapshots(field);
}

void Seeder::random_points(Automaton& field) {
    const int n = field.field_size();
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if ((random_->draw() / 3) % kPointOdds == 0) field.set_cell(i, j, 1);
}

// Rectangles of 2b rows by 2a columns around scanned positions. The half-sides
// change after every block and the scan bounds follow them.
void Seeder::random_blocks(Automaton& field, int max_half_side) {
    const int n = field.field_size();
    const int s = max_half_side;
    int a = random_->draw() % s;
    int b = random_->draw() % s;
    for (int i = b; i < n - b; ++i) {
        for (int j = a; j < n - a; ++j) {
            if ((random_->draw() / 3) % kShapeOdds != 0) continue;
            for (long row = static_cast<long>(i) - b; row < static_cast<long>(i) + b; ++row)
                for (long col = static_cast<long>(j) - a; col < static_cast<long>(j) + a; ++col)
                    set_live(field, row, col);
            a = random_->draw() % s;
            b = random_->draw() % s;
        }
    }
}

// Circle outlines of radius r centred on row q, column p; the radius and the
// margin change after every circle and the scan bounds follow them.
void Seeder::random_circles(Automaton& field, int max_radius, bool big) {
    const int n = field.field_size();
    const int s = max_radius;
    int r = random_->draw() % s;
    int m = random_->draw() % s;
    for (int p = m; p < n - m; ++p) {
        for (int q = r; q < n - r; ++q) {
            const int d = random_->draw();
            const bool place = big ? d % kBigCircleOdds == 0 : (d / 3) % kShapeOdds == 0;
            if (!place) continue;
            for (int k = 0; k < r; ++k) {
                const long h = half_chord(r, k);
                set_live(field, q + k, p + h);
                set_live(field, q + k, p - h);
                set_live(field, q - k, p + h);
                set_live(field, q - k, p - h);
                set_live(field, q + h, p + k);
                set_live(field, q + h, p - k);
                set_live(field, q - h, p + k);
                set_live(field, q - h, p - k);
            }
            r = random_->draw() % s;
            m = random_->draw() % s;
        }
    }
}

void Seeder::centred_square(Automaton& field, int half_side) {
    const int m = field.field_size() / 2;
    for (int i = m - half_side; i <= m + half_side; ++i)
        for (int j = m - half_side; j <= m + half_side; ++j) field.set_cell(i, j, 1);
}

}  // namespace orvex
