#include "dress_up_layout.h"

#include <algorithm>

#include "../kiss_files/kiss_check.h"  // KISS_LARGEST_PLAYFIELD_SIDE

namespace {

// One column of parts beside the drawing.
struct Column {
    int32_t width = 0, height = 0;      // so far
    std::vector<size_t> parts;          // top to bottom
};

// The columns on one side of the drawing, the first nearest to it.
struct Side {
    std::vector<Column> columns;
    int32_t width() const
    {
        int32_t total = 0;
        for (const Column& column : columns)
            total += DRESS_UP_GAP + column.width;
        return total;
    }
};

// Puts `part` on `side`: in its outermost column when it fits below what is
// there, in a new column further out otherwise.
void place(Side* side, size_t part, const PlannedPart& size, int32_t columnHeight)
{
    if (side->columns.empty() || side->columns.back().height + DRESS_UP_GAP + size.height > columnHeight)
        side->columns.push_back(Column());
    Column& column = side->columns.back();
    column.height += (column.parts.empty() ? 0 : DRESS_UP_GAP) + size.height;
    column.width = std::max(column.width, size.width);
    column.parts.push_back(part);
}

// Where each part of one side's columns lies: x measured outwards from the
// drawing's edge (left side: to its left edge's left), y from the top.
void positions(const Side& side, bool left, int32_t drawingLeft, int32_t drawingRight, const std::vector<PlannedPart>& parts,
               std::vector<Position>* out)
{
    int32_t edge = left ? drawingLeft : drawingRight;
    for (const Column& column : side.columns) {
        const int32_t columnLeft = left ? edge - DRESS_UP_GAP - column.width : edge + DRESS_UP_GAP;
        int32_t y = 0;
        for (size_t part : column.parts) {
            (*out)[part] = Position{columnLeft, y};
            y += parts[part].height + DRESS_UP_GAP;
        }
        edge = left ? columnLeft : columnLeft + column.width;
    }
}

}  // namespace

static SetsLayout layOut(const SetPlan& plan, bool dressUpWanted)
{
    SetsLayout layout;
    const size_t count = plan.parts.size();
    size_t body = count;
    for (size_t i = 0; i < count && body == count; ++i)
        if (plan.parts[i].fixed)
            body = i;
    layout.dressUp = dressUpWanted && body < count && count > 1;

    // The others, tallest first, each on the side that is narrower so far.
    Side left, right;
    if (layout.dressUp) {
        int32_t columnHeight = plan.canvasHeight;
        std::vector<size_t> others;
        for (size_t i = 0; i < count; ++i)
            if (i != body) {
                others.push_back(i);
                columnHeight = std::max(columnHeight, plan.parts[i].height);
            }
        std::stable_sort(others.begin(), others.end(),
                         [&](size_t a, size_t b) { return plan.parts[a].height > plan.parts[b].height; });
        for (size_t part : others)
            place(right.width() <= left.width() ? &right : &left, part, plan.parts[part], columnHeight);
    }
    const int32_t offset = left.width();
    std::vector<Position> dressUp(count);
    positions(left, true, offset, offset + plan.canvasWidth, plan.parts, &dressUp);
    positions(right, false, offset, offset + plan.canvasWidth, plan.parts, &dressUp);

    layout.playfieldWidth = offset + plan.canvasWidth + right.width();
    layout.playfieldHeight = plan.canvasHeight;
    for (const Side* side : {&left, &right})
        for (const Column& column : side->columns)
            layout.playfieldHeight = std::max(layout.playfieldHeight, column.height);

    std::vector<Position> asDrawn(count);
    for (size_t i = 0; i < count; ++i)
        asDrawn[i] = Position{offset + plan.parts[i].x, plan.parts[i].y};
    for (int group = 0; group < std::max(plan.paletteGroups, 1); ++group)
        layout.sets.push_back(asDrawn);
    if (layout.dressUp) {
        dressUp[body] = asDrawn[body];
        layout.sets.push_back(dressUp);
    }
    return layout;
}

SetsLayout layOutSets(const SetPlan& plan)
{
    const SetsLayout layout = layOut(plan, true);
    const bool room = layout.sets.size() <= (size_t)KISS_SETS && layout.playfieldWidth <= KISS_LARGEST_PLAYFIELD_SIDE &&
                      layout.playfieldHeight <= KISS_LARGEST_PLAYFIELD_SIDE;
    return room ? layout : layOut(plan, false);
}
