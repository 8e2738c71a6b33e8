#include "kiss_check.h"

#include <algorithm>
#include <map>
#include <set>

#include "kiss_cel.h"
#include "kiss_fkiss.h"
#include "kiss_names.h"
#include "kiss_palette.h"

namespace {

const int COMMON_PALETTE_SIZES[] = {16, 256};

// What the check keeps of a file it has read.
struct FileSummary {
    bool usable = false;
    int depth = 0;
    int32_t width = 0, height = 0;
    int highestColour = 0;  // cels
    int colours = 0;        // palettes: in each group
    int groups = 0;
};

class Checker {
public:
    Checker(const std::string& cnfName, const KissConfiguration& cnf, const KissFetcher& fetch)
        : cnfName_(cnfName), cnf_(cnf), fetch_(fetch)
    {
    }

    std::vector<KissFinding> run()
    {
        for (KissFinding finding : cnf_.problems) {
            finding.file = cnfName_;
            findings_.push_back(finding);
        }
        name(cnfName_, 0);
        playfield();
        for (const KissPaletteLine& line : cnf_.palettes)
            palettes_.push_back(palette(line));
        if (cnf_.cels.empty())
            add(cnfName_, 0, KISS_NO_CELS);
        for (const KissCelLine& line : cnf_.cels)
            cel(line);
        sets();
        fkiss();
        std::stable_sort(findings_.begin(), findings_.end(),
                         [](const KissFinding& a, const KissFinding& b) { return a.line < b.line; });
        return findings_;
    }

private:
    void add(const std::string& file, uint32_t line, KissProblem problem, int64_t first = 0, int64_t second = 0,
             int64_t third = 0)
    {
        KissFinding finding;
        finding.file = file;
        finding.line = line;
        finding.problem = problem;
        finding.number[0] = first, finding.number[1] = second, finding.number[2] = third;
        findings_.push_back(finding);
    }

    void name(const std::string& file, uint32_t line)
    {
        int64_t number[2] = {0, 0};
        const KissProblem problem = kissNameProblem(file, number);
        if (problem != KISS_FINE)
            add(file, line, problem, number[0], number[1]);
    }

    void playfield()
    {
        const int64_t width = cnf_.width, height = cnf_.height;
        if (!cnf_.playfieldGiven)
            add(cnfName_, 0, KISS_NO_PLAYFIELD, width, height);
        else if (width > KISS_LARGEST_PLAYFIELD_SIDE || height > KISS_LARGEST_PLAYFIELD_SIDE ||
                 width * height * 3 > KISS_LARGEST_PLAYFIELD_BYTES)
            add(cnfName_, cnf_.playfieldLine, KISS_PLAYFIELD_TOO_LARGE, width, height);
    }

    // Fetches `file` the first time a line names it, with its findings at
    // that line; false when it is not there or cannot be read.
    bool fetch(const std::string& file, uint32_t line, std::vector<uint8_t>* bytes)
    {
        name(file, line);
        KissFetched fetched = fetch_(file);
        if (fetched.status != KISS_FETCHED) {
            add(file, line, fetched.status == KISS_NOT_THERE ? KISS_FILE_MISSING : KISS_FILE_UNREADABLE);
            return false;
        }
        if (fetched.name != file && sameKissName(fetched.name, file))
            add(file, line, KISS_NAME_CASE_DIFFERS);
        bytes->swap(fetched.bytes);
        return true;
    }

    FileSummary palette(const KissPaletteLine& line)
    {
        const auto known = paletteFiles_.find(line.name);
        if (known != paletteFiles_.end())
            return known->second;
        FileSummary& summary = paletteFiles_[line.name];
        std::vector<uint8_t> bytes;
        KissPalette palette;
        if (!fetch(line.name, line.line, &bytes))
            return summary;
        const KissFileProblem read = readPalette(bytes.data(), bytes.size(), &palette);
        if (read.problem != KISS_FINE) {
            add(line.name, line.line, read.problem, read.number[0], read.number[1]);
            return summary;
        }
        if (std::find(std::begin(COMMON_PALETTE_SIZES), std::end(COMMON_PALETTE_SIZES), palette.colours) ==
            std::end(COMMON_PALETTE_SIZES))
            add(line.name, line.line, KISS_PALETTE_COLOUR_COUNT, palette.colours);
        summary.usable = true;
        summary.depth = palette.depth;
        summary.colours = palette.colours;
        summary.groups = palette.groups;
        return summary;
    }

    FileSummary celFile(const KissCelLine& line)
    {
        const auto known = celFiles_.find(line.name);
        if (known != celFiles_.end())
            return known->second;
        FileSummary& summary = celFiles_[line.name];
        std::vector<uint8_t> bytes;
        KissCel cel;
        if (!fetch(line.name, line.line, &bytes))
            return summary;
        const KissFileProblem read = readCel(bytes.data(), bytes.size(), &cel);
        if (read.problem != KISS_FINE) {
            add(line.name, line.line, read.problem, read.number[0], read.number[1]);
            return summary;
        }
        if (cel.width > cnf_.width || cel.height > cnf_.height)
            add(line.name, line.line, KISS_CEL_LARGER_THAN_PLAYFIELD, cel.width, cel.height);
        summary.usable = true;
        summary.depth = cel.depth;
        summary.width = cel.width, summary.height = cel.height;
        summary.highestColour = cel.highestColour;
        return summary;
    }

    void cel(const KissCelLine& line)
    {
        const FileSummary cel = celFile(line);
        objects_.insert(line.object);
        if (cel.usable && cel.depth == 32)
            return;  // full colour: no palette
        if (line.palette < 0 || (size_t)line.palette >= palettes_.size()) {
            add(cnfName_, line.line, KISS_NO_SUCH_PALETTE, line.palette, (int64_t)palettes_.size());
            return;
        }
        const FileSummary& palette = palettes_[(size_t)line.palette];
        if (cel.usable && palette.usable && cel.highestColour >= palette.colours)
            add(line.name, line.line, KISS_COLOURS_BEYOND_PALETTE, cel.highestColour, palette.colours);
        indexedCels_.push_back(&line);
    }

    void sets()
    {
        if (cnf_.sets.empty()) {
            if (!cnf_.cels.empty())
                add(cnfName_, 0, KISS_NO_SET_LINES);
            return;
        }
        for (size_t s = 0; s < cnf_.sets.size() && s < KISS_SETS; ++s)
            set((int)s, cnf_.sets[s]);
    }

    void set(int s, const KissSetLine& line)
    {
        // The objects this set shows, and the palettes it colours them with
        // (the first palette colours the background too).
        std::set<int32_t> shown;
        std::set<int32_t> palettes = {0};
        for (const KissCelLine& cel : cnf_.cels)
            if (cel.sets & (1 << s))
                shown.insert(cel.object);
        for (const KissCelLine* cel : indexedCels_)
            if (cel->sets & (1 << s))
                palettes.insert(cel->palette);

        const int64_t given = (int64_t)line.positions.size();
        if (!shown.empty() && *shown.rbegin() >= given)
            add(cnfName_, line.line, KISS_SET_SHORT_OF_POSITIONS, s, given, (int64_t)*shown.rbegin() + 1);
        for (int32_t object : shown)
            if (object < given && !line.positions[(size_t)object].given)
                add(cnfName_, line.line, KISS_OBJECT_NOT_PLACED, object, s);
        for (int64_t object = 0; object < given; ++object)
            if (line.positions[(size_t)object].given && objects_.count((int32_t)object) == 0)
                add(cnfName_, line.line, KISS_OBJECT_POSITIONED_NOT_DEFINED, object, s);
        for (int32_t p : palettes) {
            if ((size_t)p >= palettes_.size() || !palettes_[(size_t)p].usable)
                continue;
            if (line.paletteGroup >= palettes_[(size_t)p].groups)
                add(cnf_.palettes[(size_t)p].name, line.line, KISS_PALETTE_GROUP_MISSING, s, line.paletteGroup,
                    palettes_[(size_t)p].groups);
        }
    }

    void fkiss()
    {
        uint32_t handler = 0;
        for (const KissTextLine& line : cnf_.fkiss)
            if (handler == 0 && isEventHandlerLine(line.text))
                handler = line.line;
        for (const KissCelLine& cel : cnf_.cels)
            if (handler != 0 && cel.line > handler)
                add(cnfName_, cel.line, KISS_CEL_AFTER_EVENT_HANDLER);
        for (const KissTextLine& line : cnf_.fkiss) {
            if (handler == 0 || line.line < handler)
                add(cnfName_, line.line, KISS_FKISS_BEFORE_EVENT_HANDLER);
            for (const KissFileProblem& problem : fkissLineProblems(line.text))
                add(cnfName_, line.line, problem.problem, problem.number[0]);
        }
    }

    const std::string& cnfName_;
    const KissConfiguration& cnf_;
    const KissFetcher& fetch_;
    std::vector<KissFinding> findings_;
    std::map<std::string, FileSummary> paletteFiles_, celFiles_;
    std::vector<FileSummary> palettes_;              // by palette number
    std::vector<const KissCelLine*> indexedCels_;    // cels coloured by a palette that is listed
    std::set<int32_t> objects_;                       // every object a cel has
};

}  // namespace

std::vector<KissFinding> checkDoll(const std::string& configurationName, const KissConfiguration& configuration,
                                   const KissFetcher& fetch)
{
    return Checker(configurationName, configuration, fetch).run();
}
