// The plan of a doll's set, which is pure: where each part lies in each set
// (the dress-up set's columns), the configuration's text (lines viewers
// accept, the body fixed, every set), and which layers recolour which.
#include <gtest/gtest.h>

#include <algorithm>

#include "../../host/doll/colour_variants.h"
#include "../../host/doll/configuration_text.h"
#include "../../host/doll/dress_up_layout.h"

namespace {

SetPlan planOf(int32_t width, int32_t height, const std::vector<std::pair<int32_t, int32_t>>& sizes)
{
    SetPlan plan;
    plan.canvasWidth = width, plan.canvasHeight = height;
    for (size_t i = 0; i < sizes.size(); ++i) {
        PlannedPart part;
        part.cel = L"part" + std::to_wstring(i) + L".cel";
        part.width = sizes[i].first, part.height = sizes[i].second;
        part.x = (int32_t)(i * 3), part.y = (int32_t)(i * 5);
        part.fixed = i == 0;
        plan.parts.push_back(part);
    }
    plan.palettes = {L"doll.kcf"};
    return plan;
}

bool overlap(const Position& a, const PlannedPart& sizeA, const Position& b, const PlannedPart& sizeB)
{
    return a.x < b.x + sizeB.width && b.x < a.x + sizeA.width && a.y < b.y + sizeB.height && b.y < a.y + sizeA.height;
}

TEST(DollPlan, TheDressUpSetLaysThePartsBesideTheDrawingWithoutOverlap)
{
    for (int groups : {1, 3}) {
        SetPlan plan = planOf(200, 300, {{150, 280}, {80, 200}, {60, 60}, {120, 40}, {30, 310}, {90, 150}, {50, 290}});
        plan.paletteGroups = groups;
        const SetsLayout layout = layOutSets(plan);
        ASSERT_TRUE(layout.dressUp);
        ASSERT_EQ(layout.sets.size(), (size_t)groups + 1);
        const std::vector<Position>& drawn = layout.sets[0];
        const std::vector<Position>& dressUp = layout.sets.back();
        const int32_t offset = drawn[0].x - plan.parts[0].x;
        // The drawing at the same place in every set; the body too in the dress-up set.
        for (size_t set = 0; set + 1 < layout.sets.size(); ++set)
            for (size_t i = 0; i < plan.parts.size(); ++i)
                EXPECT_TRUE(layout.sets[set][i].x == plan.parts[i].x + offset && layout.sets[set][i].y == plan.parts[i].y);
        EXPECT_TRUE(dressUp[0].x == drawn[0].x && dressUp[0].y == drawn[0].y);
        int32_t right = offset + plan.canvasWidth, bottom = plan.canvasHeight, left = offset;
        const PlannedPart drawing = [&] { PlannedPart d; d.width = plan.canvasWidth, d.height = plan.canvasHeight; return d; }();
        for (size_t i = 1; i < plan.parts.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_FALSE(overlap(dressUp[i], plan.parts[i], Position{offset, 0}, drawing));
            for (size_t j = 1; j < i; ++j)
                EXPECT_FALSE(overlap(dressUp[i], plan.parts[i], dressUp[j], plan.parts[j]));
            EXPECT_GE(dressUp[i].x, 0);
            EXPECT_GE(dressUp[i].y, 0);
            right = std::max(right, dressUp[i].x + plan.parts[i].width);
            bottom = std::max(bottom, dressUp[i].y + plan.parts[i].height);
            left = std::min(left, dressUp[i].x);
        }
        // No larger than it needs: the parts touch its edges.
        EXPECT_EQ(left, 0);
        EXPECT_EQ(layout.playfieldWidth, right);
        EXPECT_EQ(layout.playfieldHeight, bottom);
        // Both sides hold parts, so that the doll stays near the middle.
        EXPECT_GT(offset, 0);
        EXPECT_GT(layout.playfieldWidth, offset + plan.canvasWidth);
    }
    // A body alone has nothing to put on: no dress-up set.
    EXPECT_FALSE(layOutSets(planOf(50, 50, {{10, 10}})).dressUp);
    // Nor is there one past the ten sets a viewer offers, or on a playfield wider than viewers open.
    SetPlan tenColours = planOf(50, 50, {{10, 10}, {10, 10}});
    tenColours.paletteGroups = KISS_SETS;
    EXPECT_EQ(layOutSets(tenColours).sets.size(), (size_t)KISS_SETS);
    EXPECT_FALSE(layOutSets(planOf(30000, 100, {{30000, 100}, {3000, 100}})).dressUp);
}

// Every line under 256 bytes, with a Japanese name counted as code page 932
// holds it; the objects front first, the body fixed; a set a group, then the
// dress-up set in group 0, each placing every object.
TEST(DollPlan, TheConfigurationsLinesAreOnesViewersAccept)
{
    std::vector<std::pair<int32_t, int32_t>> sizes(300, {10, 10});
    SetPlan plan = planOf(4000, 3000, sizes);
    plan.paletteGroups = 2;
    for (PlannedPart& part : plan.parts)
        part.layerName = std::wstring(200, L'\u9AEA');  // 髪, two bytes each in 932
    const SetsLayout layout = layOutSets(plan);
    const std::wstring text = configurationText(plan, layout, {{L"heading"}, {L"set 0", L"set 1", L"set 2"}});
    std::vector<std::wstring> lines;
    for (size_t at = 0, end; at < text.size(); at = end + 2) {
        end = text.find(L"\r\n", at);
        ASSERT_NE(end, std::wstring::npos);
        lines.push_back(text.substr(at, end - at));
    }
    // Each set: its `$` line and the lines that continue it.
    std::vector<std::wstring> sets;
    std::vector<size_t> positions;
    for (const std::wstring& line : lines) {
        EXPECT_LE(ansiBytesAtMost(line), 255u);
        if (line[0] == L'$')
            sets.push_back(line.substr(0, 2)), positions.push_back(0);
        if (line[0] == L'$' || (line[0] == L' ' && !sets.empty()))
            positions.back() += std::count(line.begin(), line.end(), L',');
    }
    EXPECT_EQ(positions, std::vector<size_t>(3, plan.parts.size()));
    EXPECT_EQ(sets, (std::vector<std::wstring>{L"$0", L"$1", L"$0"}));
    EXPECT_EQ(lines[4].substr(0, 13), L"#0 part299.ce");
    const std::wstring body = L"#299.9999 part0.cel *0";
    EXPECT_NE(std::find_if(lines.begin(), lines.end(), [&](const std::wstring& l) { return l.compare(0, body.size(), body) == 0; }),
              lines.end());
}

DecodedPicture picture(int32_t width, std::vector<uint32_t> pixels)
{
    DecodedPicture p;
    p.width = width, p.height = (int32_t)(pixels.size() / width);
    p.pixels = std::move(pixels);
    return p;
}

TEST(DollPlan, ARecolouringHasTheSameShapeAndColoursMappedOneToOne)
{
    const uint32_t red = 0xFFFF0000, pink = 0xFFFF8080, soft = 0x80FF0000, clear = 0;
    const DecodedPicture drawn = picture(3, {red, pink, clear, soft, red, pink});
    struct Row {
        const char* what;
        DecodedPicture candidate;
        int32_t x;
        bool variant;
    } rows[] = {
        {"recoloured", picture(3, {0xFF0000FF, 0xFF8080FF, clear, 0x800000FF, 0xFF0000FF, 0xFF8080FF}), 0, true},
        {"one colour becomes two", picture(3, {0xFF0000FF, 0xFF8080FF, clear, 0x800000FF, 0xFF00FF00, 0xFF8080FF}), 0, false},
        {"two colours become one", picture(3, {0xFF0000FF, 0xFF0000FF, clear, 0x800000FF, 0xFF0000FF, 0xFF0000FF}), 0, false},
        {"another alpha", picture(3, {0xFF0000FF, 0xFF8080FF, clear, 0x810000FF, 0xFF0000FF, 0xFF8080FF}), 0, false},
        {"another place", picture(3, {0xFF0000FF, 0xFF8080FF, clear, 0x800000FF, 0xFF0000FF, 0xFF8080FF}), 1, false},
        {"another size", picture(2, {0xFF0000FF, 0xFF8080FF, 0x800000FF, 0xFF0000FF}), 0, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(isColourVariant({&drawn, 0, 0}, {&row.candidate, row.x, 0}), row.variant);
        if (row.variant)
            EXPECT_EQ(shapeKey({&drawn, 0, 0}), shapeKey({&row.candidate, row.x, 0}));
    }
    EXPECT_NE(shapeKey({&drawn, 0, 0}), shapeKey({&rows[3].candidate, 0, 0}));

    // A group takes the variant's colour at each entry, the mean where
    // reduced colours share one; entries not used keep group 0's.
    const std::vector<uint8_t> indices = {1, 2, 0, 1, 1, 2};
    const DecodedPicture variant = picture(3, {0xFF000010, 0xFF8080FF, clear, 0x80000020, 0xFF000030, 0xFF8080FF});
    EXPECT_EQ(variantGroup(indices, variant, {0xFFFFFF, 0xFF0000, 0xFF8080, 0x123456}),
              (std::vector<uint32_t>{0xFFFFFF, 0x000020, 0x8080FF, 0x123456}));
}

}  // namespace
