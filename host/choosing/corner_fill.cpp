#include "corner_fill.h"

// A pixel on the walk holds WALKED, the step back to the pixel it was
// reached from (or FROM_CORNER where the walk started) and the next step to
// try from it. The steps are right, down, left, up: along a row first.
enum {
    STEPS = 4,
    FROM_CORNER = STEPS,
    NEXT_BITS = 7,   // the next step to try, 0 to STEPS (none left)
    BACK_SHIFT = 3,  // the step back, 0 to FROM_CORNER, above it
    WALKED = 0x80,
};
static const int STEP_X[STEPS] = {1, 0, -1, 0};
static const int STEP_Y[STEPS] = {0, 1, 0, -1};

static_assert((WALKED & (FILL_OTHER | FILL_LIKE_CORNERS | FILL_REACHED)) == 0, "a mark on the walk is told from the map's");
static_assert((FROM_CORNER << BACK_SHIFT | NEXT_BITS) < WALKED, "the step back and the next step fit below WALKED");

static uint8_t reachedFrom(int back)
{
    return (uint8_t)(WALKED | back << BACK_SHIFT);  // the next step to try: the first
}

// Walks the region of the pixel at x, y, of the corners' colour and not yet walked.
static void walkRegion(uint8_t* map, int32_t width, int32_t height, int32_t x, int32_t y)
{
    size_t at = (size_t)y * (size_t)width + (size_t)x;
    map[at] = reachedFrom(FROM_CORNER);
    for (;;) {
        const int step = map[at] & NEXT_BITS;
        if (step < STEPS) {
            ++map[at];
            const int32_t nextX = x + STEP_X[step], nextY = y + STEP_Y[step];
            if (nextX < 0 || nextX >= width || nextY < 0 || nextY >= height)
                continue;
            const size_t next = (size_t)nextY * (size_t)width + (size_t)nextX;
            if (map[next] != FILL_LIKE_CORNERS)
                continue;
            map[next] = reachedFrom((step + 2) % STEPS);  // the step back is the opposite one
            x = nextX, y = nextY, at = next;
        } else {
            const int back = map[at] >> BACK_SHIFT & NEXT_BITS;
            if (back == FROM_CORNER)
                return;
            x += STEP_X[back], y += STEP_Y[back];
            at = (size_t)y * (size_t)width + (size_t)x;
        }
    }
}

FillCounts fillFromCorners(std::vector<uint8_t>* map, int32_t width, int32_t height)
{
    FillCounts counts;
    if (width <= 0 || height <= 0 || map->size() != (uint64_t)width * (uint64_t)height)
        return counts;
    const int32_t cornerX[] = {0, width - 1, 0, width - 1}, cornerY[] = {0, 0, height - 1, height - 1};
    for (int corner = 0; corner < 4; ++corner)
        if ((*map)[(size_t)cornerY[corner] * (size_t)width + (size_t)cornerX[corner]] == FILL_LIKE_CORNERS)
            walkRegion(map->data(), width, height, cornerX[corner], cornerY[corner]);
    for (uint8_t& pixel : *map) {
        if (pixel & WALKED) {
            pixel = FILL_REACHED;
            ++counts.reached;
        } else if (pixel == FILL_LIKE_CORNERS) {
            ++counts.notReached;
        }
    }
    return counts;
}
