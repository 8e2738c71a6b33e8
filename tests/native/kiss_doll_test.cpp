// The sets porvane's own doll command makes pass the check, and their first
// set draws as the layers stack: the native porvane-host makes them from BMP
// layers written here, into a scratch folder, and they are read back from it
// as a viewer finds the files. The program runs as a child, as a doll maker
// runs it (and out of valgrind's sight: its wide strings compare with glibc's
// vector wmemcmp, which valgrind takes for reads past their end).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "kiss_check.h"
#include "kiss_names.h"
#include "kiss_picture.h"
#include "native_test_support.h"
#include "../../host/doll/dress_up_layout.h"

namespace {

typedef std::vector<uint8_t> Bytes;

void putLong(Bytes* bytes, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        (*bytes)[at + i] = (uint8_t)(value >> (8 * i));
}

// A BMP of `rows`, top first: at 8 bits colour numbers into `colours`
// (0xRRGGBB), at 32 bits 0xAARRGGBB pixels.
Bytes bmp(int depth, const std::vector<std::vector<uint32_t>>& rows, const std::vector<uint32_t>& colours = {})
{
    const uint32_t width = (uint32_t)rows[0].size(), height = (uint32_t)rows.size();
    const uint32_t stride = (width * depth / 8 + 3) & ~3u, pixels = 54 + 4 * (uint32_t)colours.size();
    Bytes file(pixels + stride * height, 0);
    file[0] = 'B', file[1] = 'M';
    putLong(&file, 2, (uint32_t)file.size()), putLong(&file, 10, pixels);
    putLong(&file, 14, 40), putLong(&file, 18, width), putLong(&file, 22, height);
    file[26] = 1, file[28] = (uint8_t)depth;
    putLong(&file, 46, (uint32_t)colours.size());
    for (size_t i = 0; i < colours.size(); ++i)
        putLong(&file, 54 + 4 * i, colours[i]);  // blue, green, red, 0
    for (uint32_t y = 0; y < height; ++y)        // bottom row first
        for (uint32_t x = 0; x < width; ++x) {
            const size_t at = pixels + (height - 1 - y) * stride + x * depth / 8;
            depth == 8 ? (void)(file[at] = (uint8_t)rows[y][x]) : putLong(&file, at, rows[y][x]);
        }
    return file;
}

// Runs porvane-host with `arguments`, its words out of the test's output;
// its exit status, or -1.
int runPorvaneHost(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), PORVANE_HOST_PROGRAM);
    std::vector<char*> argv;
    for (std::string& argument : arguments)
        argv.push_back(&argument[0]);
    argv.push_back(NULL);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, 1, "/dev/null", O_WRONLY, 0);
    pid_t child;
    const int spawned = posix_spawn(&child, PORVANE_HOST_PROGRAM, &quiet, NULL, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    int status;
    if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// The files of `folder`, found as a viewer finds them.
KissFetcher folderFetcher(const std::string& folder)
{
    return [folder](const std::string& name) {
        const std::vector<std::string> names = folderEntries(folder);
        const int found = findKissFile(name, names);
        KissFetched fetched;
        if (found >= 0) {
            fetched.status = KISS_FETCHED;
            fetched.name = names[(size_t)found];
            fetched.bytes = readFile(folder + "/" + fetched.name);
        }
        return fetched;
    };
}

TEST(KissFiles, DollsTheDollCommandMakesPassTheCheckAndDrawAsTheLayersStack)
{
    // A red body under a blue hat of 2 x 2: colour 0 of an 8-bit BMP is
    // transparent; a 32-bit one has its alpha, here a hat whose right half
    // lets half the body through.
    const std::vector<std::vector<uint32_t>> body(4, std::vector<uint32_t>(6, 1));
    std::vector<std::vector<uint32_t>> hat(4, std::vector<uint32_t>(6, 0));
    hat[1][1] = hat[1][2] = hat[2][1] = hat[2][2] = 1;
    std::vector<std::vector<uint32_t>> softHat(4, std::vector<uint32_t>(6, 0));
    softHat[1][1] = softHat[2][1] = 0xFF0000FF, softHat[1][2] = softHat[2][2] = 0x800000FF;
    const uint8_t R[4] = {255, 0, 0, 255}, B[4] = {0, 0, 255, 255}, M[4] = {127, 0, 128, 255};

    struct Row {
        const char* sharedPalette;
        bool soft;
        const uint8_t* expected[4][6];
    } rows[] = {
        {"", false, {{R, R, R, R, R, R}, {R, B, B, R, R, R}, {R, B, B, R, R, R}, {R, R, R, R, R, R}}},
        {"doll.kcf", false, {{R, R, R, R, R, R}, {R, B, B, R, R, R}, {R, B, B, R, R, R}, {R, R, R, R, R, R}}},
        {"", true, {{R, R, R, R, R, R}, {R, B, M, R, R, R}, {R, B, M, R, R, R}, {R, R, R, R, R, R}}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << (row.soft ? "32-bit hat" : "8-bit hat") << ", shared palette "
                                          << (*row.sharedPalette ? "doll.kcf" : "none"));
        ScratchFolder scratch;
        writeFile(scratch.path("01-body.bmp"), bmp(8, body, {0x000000, 0xFF0000}));
        writeFile(scratch.path("02-hat.bmp"), row.soft ? bmp(32, softHat) : bmp(8, hat, {0x000000, 0x0000FF}));
        std::vector<std::string> command = {"doll", scratch.path("01-body.bmp"), scratch.path("02-hat.bmp"), "--to",
                                            scratch.path("doll")};
        if (*row.sharedPalette)
            command.insert(command.end(), {"--shared-palette", row.sharedPalette});
        ASSERT_EQ(runPorvaneHost(command), 0);

        const Bytes text = readFile(scratch.path("doll/doll.cnf"));
        const KissConfiguration cnf = readConfiguration(text.data(), text.size());
        const KissFetcher fetch = folderFetcher(scratch.path("doll"));
        EXPECT_TRUE(checkDoll("doll.cnf", cnf, fetch).empty());
        KissPicture set;
        ASSERT_EQ(drawSet(cnf, 0, fetch, &set), KISS_FINE);
        // The drawing, and beside it the column the dress-up set lays the hat in.
        const int width = 6 + DRESS_UP_GAP + 2;
        ASSERT_EQ(set.width, width);
        ASSERT_EQ(set.height, 4);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                EXPECT_EQ(Bytes(&set.rgba[4 * (y * width + x)], &set.rgba[4 * (y * width + x)] + 4),
                          Bytes(row.expected[y][x], row.expected[y][x] + 4))
                    << x << "," << y;
    }
}

}  // namespace
