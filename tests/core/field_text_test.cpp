#include "core/field_text.h"

#include <gtest/gtest.h>

#include "core/automaton.h"

namespace orvex {
namespace {

std::string square(int n, char fill = '.') {
    std::string line(n, fill);
    std::string out;
    for (int i = 0; i < n; ++i) out += line + "\n";
    return out;
}

TEST(FieldText, EveryValueRoundTrips) {
    for (int v = 0; v <= 61; ++v) EXPECT_EQ(cell_value(cell_char(v)), v);
    EXPECT_EQ(cell_char(62), '*');
    EXPECT_EQ(cell_value('*'), -1);
    EXPECT_EQ(cell_value('0'), -1);  // empty is '.', never '0'
}

TEST(FieldText, DumpIsRowByRow) {
    FieldSetup s;
    Automaton a(s);
    a.set_cell(0, 1, 1);
    a.set_cell(2, 0, 37);
    const std::string text = dump_field(a);
    ASSERT_EQ(text.size(), 100u * 101u);
    EXPECT_EQ(text.substr(0, 3), ".1.");
    EXPECT_EQ(text[2 * 101], 'B');
    const ParsedGrid g = parse_grid(text, 100, 1000);
    ASSERT_EQ(g.error, "");
    EXPECT_EQ(g.cells, a.cells());
}

TEST(FieldText, ParseAcceptsCrLfAndRejectsBadShapes) {
    std::string crlf;
    for (int i = 0; i < 100; ++i) crlf += std::string(100, i == 3 ? 'z' : '.') + "\r\n";
    ParsedGrid g = parse_grid(crlf, 100, 1000);
    ASSERT_EQ(g.error, "");
    EXPECT_EQ(g.size, 100);
    EXPECT_EQ(g.cells[3 * 100 + 5], 35);

    EXPECT_NE(parse_grid(square(99), 100, 1000).error, "");    // too small
    EXPECT_NE(parse_grid(square(1001), 100, 1000).error, "");  // too large
    std::string ragged = square(100);
    ragged.erase(ragged.size() - 2, 1);  // last line one short
    EXPECT_NE(parse_grid(ragged, 100, 1000).error, "");
    std::string bad = square(100);
    bad[5] = '#';
    EXPECT_NE(parse_grid(bad, 100, 1000).error, "");
    EXPECT_NE(parse_grid("", 100, 1000).error, "");
}

}  // namespace
}  // namespace orvex
