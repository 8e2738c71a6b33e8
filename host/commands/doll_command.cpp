#include "doll_command.h"

#include <algorithm>
#include <new>

#include "../../cel/cel_format.h"
#include "../doll/configuration_text.h"
#include "../doll/dress_up_layout.h"
#include "../doll/made_record.h"
#include "../doll/set_names.h"
#include "../doll/stacking_order.h"
#include "../kiss_files/kiss_names.h"
#include "../pictures/layered_document.h"
#include "../pictures/picture_list.h"
#include "../pictures/read_picture.h"
#include "../system/code_pages.h"
#include "../system/console_text.h"
#include "../system/file_access.h"
#include "../system/path_names.h"
#include "../words/cel_words.h"
#include "../words/doll_words.h"
#include "../words/set_words.h"
#include "../words/messages.h"
#include "../words/problem_words.h"
#include "doll_cels.h"
#include "doll_survey.h"
#include "pack_command.h"

namespace {

const wchar_t DEFAULT_NAME[] = L"doll";  // of the configuration, and of a palette named by nothing readable

// ---------------------------------------------------------------------------
// The drawing.

// The pictures `given` stands for, bottom first: a picture as given, a
// folder's or a wildcard's in the order their names say (and `*guessed`
// set when they say none).
std::vector<std::wstring> layerFiles(const std::vector<std::wstring>& given, PictureList* skipped, bool* guessed)
{
    std::vector<std::wstring> files;
    for (const std::wstring& name : given) {
        PictureList list = listPictures({name});
        skipped->unmatched.insert(skipped->unmatched.end(), list.unmatched.begin(), list.unmatched.end());
        bool namesSayTheOrder = true;
        std::vector<std::wstring> names;
        for (const std::wstring& picture : list.pictures)
            names.push_back(fileName(picture));
        for (size_t i : stackingOrder(names, &namesSayTheOrder))
            files.push_back(list.pictures[i]);
        *guessed = *guessed || !namesSayTheOrder;
    }
    return files;
}

// Opens the drawing `given` names. False, with what was wrong said.
bool openDrawing(const std::vector<std::wstring>& given, DrawingLayers* drawing)
{
    if (given.size() == 1 && isLayeredDocumentName(given[0])) {
        PictureProblem problem;
        if (drawing->useDocument(given[0], &problem))
            return true;
        say(text(MSG_LINE_NOT_CONVERTED, {given[0], inWords(problem)}));
        say(text(MSG_DOLL_LAYER_UNREADABLE));
        return false;
    }
    PictureList skipped;
    bool guessed = false;
    const std::vector<std::wstring> files = layerFiles(given, &skipped, &guessed);
    for (const std::wstring& name : skipped.unmatched)
        say(text(MSG_NO_FILE_MATCHES, {name}));
    for (const std::wstring& file : files)
        if (isLayeredDocumentName(file)) {
            say(text(MSG_DOLL_DOCUMENT_ALONE, {file}));
            return false;
        }
    if (files.empty() || !skipped.unmatched.empty()) {
        say(text(files.empty() ? MSG_DOLL_NO_LAYERS : MSG_DOLL_LAYER_UNREADABLE));
        return false;
    }
    drawing->usePictures(files);
    if (guessed)
        say(orderGuessedLine(files));
    return true;
}

// Says why the survey found no set to make.
void sayWhyNot(const DrawingLayers& drawing, const DollSurvey& survey, SurveyOutcome outcome)
{
    switch (outcome) {
    case SURVEY_UNREADABLE:
        for (size_t i = 0; i < survey.layers.size(); ++i)
            if (survey.layers[i].problem.code != PICTURE_READ)
                say(counted(i, drawing.count()) +
                    text(MSG_LINE_NOT_CONVERTED, {drawing.layer(i).file, inWords(survey.layers[i].problem)}));
        say(text(MSG_DOLL_LAYER_UNREADABLE));
        break;
    case SURVEY_SIZES_DIFFER: {
        std::vector<LayerSize> odd;
        for (size_t i : survey.oddSizes)
            odd.push_back({drawing.layer(i).file, survey.layers[i].width, survey.layers[i].height});
        const size_t first = std::find_if(survey.layers.begin(), survey.layers.end(),
                                          [](const SurveyedLayer& layer) { return layer.width > 0; }) -
                             survey.layers.begin();
        say(sizesDifferLine({drawing.layer(first).file, survey.canvasWidth, survey.canvasHeight}, odd));
        break;
    }
    case SURVEY_TOO_MANY_VARIANTS:
        say(text(MSG_DOLL_TOO_MANY_VARIANTS, {drawing.layer(survey.tooManyVariants).name,
                                              number(KISS_SETS - 1), number(KISS_SETS)}));
        break;
    case SURVEY_DONE:
        break;
    }
}

// ---------------------------------------------------------------------------
// The plan.

// What becomes of each layer.
struct DollPlan {
    std::vector<CelJob> jobs;            // the drawn parts, bottom first
    std::vector<SetName> celNames;       // by job
    SetPlan set;
    SetName configuration, sharedPalette;
    std::wstring backgroundPalette;      // a set of 32-bit cels alone: a palette of the background
};

int paletteGroups(const DollSurvey& survey)
{
    size_t most = 0;
    for (const SurveyedLayer& layer : survey.layers)
        most = std::max(most, layer.variants.size());
    return (int)most + 1;
}

DollPlan planDoll(const DollRequest& request, const DrawingLayers& drawing, const DollSurvey& survey)
{
    DollPlan plan;
    SetNames names;
    plan.configuration = names.fileName(request.configuration, kissExtension(KISS_CONFIGURATION_EXTENSION), DEFAULT_NAME);
    if (!request.sharedPalette.empty())
        plan.sharedPalette = names.fileName(request.sharedPalette, kissExtension(KISS_PALETTE_EXTENSION), DEFAULT_NAME);
    plan.set.canvasWidth = survey.canvasWidth;
    plan.set.canvasHeight = survey.canvasHeight;
    plan.set.paletteGroups = paletteGroups(survey);
    for (size_t i = 0; i < survey.layers.size(); ++i) {
        const SurveyedLayer& layer = survey.layers[i];
        if (layer.shows.empty() || layer.variantOf >= 0 || drawing.layer(i).hidden)
            continue;
        const SetName stem = names.celStem(drawing.layer(i).name, i + 1);
        CelJob job{i, stem.name + kissExtension(KISS_CEL_EXTENSION), L""};
        if (request.sharedPalette.empty())
            job.palette = stem.name + kissExtension(KISS_PALETTE_EXTENSION);  // used when the cel has indices
        plan.jobs.push_back(job);
        plan.celNames.push_back(stem);
        PlannedPart part;
        part.cel = job.cel;
        part.layerName = drawing.layer(i).name;
        part.x = layer.x, part.y = layer.y;
        part.width = layer.shows.width, part.height = layer.shows.height;
        part.fixed = plan.set.parts.empty();  // the bottom part that shows: the body
        plan.set.parts.push_back(part);
    }
    if (request.sharedPalette.empty())
        plan.backgroundPalette = names.fileName(plan.configuration.name, kissExtension(KISS_PALETTE_EXTENSION), DEFAULT_NAME).name;
    return plan;
}

// ---------------------------------------------------------------------------
// Writing.

struct DollRun {
    const DollRequest& request;
    const DrawingLayers& drawing;
    const DollSurvey& survey;
    DollPlan& plan;
    SetWriter* writer;
    DollColours colours;
    std::vector<CelDone> done;   // by job
};

std::wstring shownInSet(const DollRequest& request, const std::wstring& name)
{
    return inFolder(request.toFolder, name);
}

// Every cel on its own colours, each palette numbered as it comes. Every
// palette's colour 0 is the background, so palette 0 colours the playfield;
// a set of 32-bit cels alone gets a palette of the background for it.
bool makeCelsOnOwnColours(DollRun* run)
{
    bool whole = true;
    std::vector<std::wstring>& palettes = run->plan.set.palettes;
    for (size_t j = 0; j < run->plan.jobs.size(); ++j) {
        run->done.push_back(makeCelOnOwnColours(run->colours, run->plan.jobs[j]));
        whole = whole && run->done.back().done();
        if (run->done.back().ownPalette) {
            run->plan.set.parts[j].palette = palettes.size();
            palettes.push_back(run->plan.jobs[j].palette);
        }
    }
    if (!palettes.empty())
        return whole;
    const std::wstring& background = run->plan.backgroundPalette;
    const WriteProblem written = run->writer->stageText(
        paletteFile(std::vector<std::vector<uint32_t>>(run->colours.groups, {run->request.background})), background);
    if (written.code != WRITE_DONE) {
        say(text(MSG_PALETTE_NOT_WRITTEN_ALONE, {shownInSet(run->request, background), inWords(written)}));
        return false;
    }
    palettes.push_back(background);
    return whole;
}

// Every cel on one palette, chosen from every part's colours.
bool makeCelsOnOnePalette(DollRun* run)
{
    DollPalette palette(run->colours);
    PictureProblem problem;
    size_t failed = 0;
    std::vector<std::vector<uint32_t>> groups;
    if (!palette.count(run->plan.jobs, &problem, &failed) || !palette.choose() || !palette.groups(&groups, &problem)) {
        say(text(MSG_LINE_NOT_CONVERTED, {run->drawing.layer(run->plan.jobs[failed].layer).file, inWords(problem)}));
        return false;
    }
    bool whole = true;
    for (const CelJob& job : run->plan.jobs) {
        run->done.push_back(palette.makeCel(job));
        whole = whole && run->done.back().done();
    }
    const std::wstring& name = run->plan.sharedPalette.name;
    const WriteProblem written = run->writer->stageText(paletteFile(groups), name);
    say(sharedPaletteLine(shownInSet(run->request, name), palette.partColours(), palette.chosenColours(),
                          palette.exact(), written));
    if (written.code != WRITE_DONE)
        return false;
    run->plan.set.palettes.assign(1, name);
    return whole;
}

std::wstring partDescription(const DollRun& run, size_t job);

// The line of every layer, bottom first: what became of it.
void sayLayerLines(const DollRun& run)
{
    const size_t count = run.drawing.count();
    size_t job = 0;
    for (size_t i = 0; i < count; ++i) {
        const DrawingLayer& layer = run.drawing.layer(i);
        const SurveyedLayer& surveyed = run.survey.layers[i];
        const std::wstring shown = run.drawing.fromDocument() ? layer.name : layer.file;
        std::wstring line;
        if (surveyed.shows.empty()) {
            line = text(MSG_DOLL_EMPTY_LAYER, {shown});
        } else if (surveyed.variantOf >= 0) {
            const std::vector<size_t>& variants = run.survey.layers[surveyed.variantOf].variants;
            const size_t group = std::find(variants.begin(), variants.end(), i) - variants.begin() + 1;
            line = text(MSG_DOLL_VARIANT, {shown, run.drawing.layer(surveyed.variantOf).name, number((long long)group)});
        } else if (layer.hidden) {
            line = text(MSG_DOLL_HIDDEN_LEFT_OUT, {shown});
        } else {
            const CelDone& done = run.done[job];
            const PlannedPart& part = run.plan.set.parts[job];
            const std::wstring cel = shownInSet(run.request, part.cel);
            if (done.readProblem.code != PICTURE_READ)
                line = text(MSG_LINE_NOT_CONVERTED, {shown, inWords(done.readProblem)});
            else if (done.writeProblem.code != WRITE_DONE)
                line = text(MSG_LINE_NOT_WRITTEN, {shown, cel, inWords(done.writeProblem)});
            else
                line = text(MSG_LINE_CONVERTED, {shown, cel, partDescription(run, job)});
            ++job;
        }
        say(counted(i, count) + line);
        for (const std::wstring& note : documentNotes(run.drawing, i))
            say(L"    " + note);
    }
}

}  // namespace

namespace {

// "8-bit cel and palette doll\01body.kcf, placed at 72, 152, fixed in place
// (named 01body: ...)".
std::wstring partDescription(const DollRun& run, size_t job)
{
    const CelDone& done = run.done[job];
    const PlannedPart& part = run.plan.set.parts[job];
    std::wstring what = run.request.sharedPalette.empty()
                            ? describeCel(done.depth, done.width, done.height, done.transparent)
                            : text(MSG_CEL_ON_SHARED_PALETTE, {number(done.width), number(done.height)});
    if (done.ownPalette)
        what = text(MSG_AND_PALETTE, {what, shownInSet(run.request, run.plan.jobs[job].palette)});
    what = text(part.fixed ? MSG_DOLL_PLACED_FIXED : MSG_DOLL_PLACED, {what, number(part.x), number(part.y)});
    std::wstring notes = inWords(done.notes);
    const SetName& name = run.plan.celNames[job];
    if (name.changes != NAME_AS_GIVEN) {
        const std::wstring renamed = text(MSG_DOLL_NAMED, {name.name, nameChangesInWords(name.changes),
                                                           number((long long)KISS_NAME_BASE_CHARACTERS)});
        notes = notes.empty() ? renamed : text(MSG_NOTES_JOINED, {renamed, notes});
    }
    return notes.empty() ? what : text(MSG_LINE_NOTE, {what, notes});
}

// The configuration's comments: what the set is, and what each set shows.
ConfigurationComments comments(const DollRun& run, const SetsLayout& layout)
{
    ConfigurationComments comments;
    const std::wstring drawing = run.drawing.fromDocument() ? fileName(run.drawing.layer(0).file)
                                                            : text(MSG_CNF_LAYERS, {number((long long)run.drawing.count())});
    comments.heading.push_back(text(MSG_CNF_HEADING, {drawing}));
    comments.heading.push_back(text(MSG_CNF_FRONT_FIRST));
    for (int group = 0; group < run.plan.set.paletteGroups; ++group) {
        std::wstring recoloured;
        for (const SurveyedLayer& layer : run.survey.layers)
            if ((int)layer.variants.size() >= group && group > 0) {
                const std::wstring name = run.drawing.layer(layer.variants[group - 1]).name;
                recoloured = recoloured.empty() ? name : text(MSG_LIST_JOINED, {recoloured, name});
            }
        comments.sets.push_back(recoloured.empty() ? text(MSG_CNF_SET_AS_DRAWN, {number(group)})
                                                   : text(MSG_CNF_SET_RECOLOURED, {number(group), recoloured}));
    }
    if (layout.dressUp)
        comments.sets.push_back(text(MSG_CNF_SET_DRESS_UP, {number((long long)layout.sets.size() - 1)}));
    return comments;
}

// The bytes of a file in the folder, or of a staged one; empty when there is none.
std::vector<uint8_t> bytesOf(const std::wstring& path)
{
    FileBytes file;
    std::vector<uint8_t> bytes;
    if (path.empty() || !readWholeFile(path.c_str(), &file))
        return bytes;
    try {
        bytes.assign(file.data, file.data + file.size);
    } catch (...) {
        freeFileBytes(&file);  // then out of memory is said where it is caught
        throw;
    }
    freeFileBytes(&file);
    return bytes;
}

MadeFile madeFile(const std::wstring& name, const std::vector<uint8_t>& bytes)
{
    return MadeFile{name, madeCrc(name, bytes.data(), bytes.size())};
}

// Stages the configuration, with the record of every file of the set, and
// works out which files of the folder's earlier set are hers.
bool stageConfiguration(DollRun* run, const std::vector<std::wstring>& names, SetChanges* changes)
{
    const SetsLayout layout = layOutSets(run->plan.set);
    const std::wstring& name = run->plan.configuration.name;
    std::vector<MadeFile> made;
    for (const std::wstring& file : names)
        if (file != name)
            made.push_back(madeFile(file, bytesOf(run->writer->stagedPath(file))));
    const std::string configuration = withMadeRecord(
        encodeText(configurationText(run->plan.set, layout, comments(*run, layout)), CP_ACP), name, made);
    const WriteProblem written = run->writer->stageText(configuration, name);
    if (written.code != WRITE_DONE) {
        say(text(MSG_DOLL_SET_NOT_WRITTEN, {shownInSet(run->request, name), inWords(written)}));
        return false;
    }
    made.push_back(madeFile(name, std::vector<uint8_t>(configuration.begin(), configuration.end())));

    // What the folder holds under the names of either set.
    const std::vector<uint8_t> old = bytesOf(inFolder(run->request.toFolder, name));
    const MadeRecord record = readMadeRecord(old.data(), old.size());
    std::vector<MadeFile> found;
    std::vector<std::wstring> looked = names;
    for (const MadeFile& file : record)
        looked.push_back(file.name);
    for (const std::wstring& file : looked) {
        const std::wstring path = inFolder(run->request.toFolder, file);
        if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            found.push_back(madeFile(file, bytesOf(path)));
    }
    *changes = planSetChanges(record, made, found);
    return true;
}

// The names of every file of the set, as staged.
std::vector<std::wstring> stagedNames(const DollRun& run)
{
    std::vector<std::wstring> names;
    for (size_t j = 0; j < run.plan.jobs.size(); ++j) {
        names.push_back(run.plan.jobs[j].cel);
        if (run.done[j].ownPalette)
            names.push_back(run.plan.jobs[j].palette);
    }
    for (const std::wstring& palette : run.plan.set.palettes)
        if (std::find(names.begin(), names.end(), palette) == names.end())
            names.push_back(palette);
    names.push_back(run.plan.configuration.name);
    return names;
}

// What the set is, and what of the folder was kept.
void sayHowItWent(const DollRun& run)
{
    const SetsLayout layout = layOutSets(run.plan.set);
    for (const KeptFile& kept : run.writer->kept())
        say(keptLine(kept));
    say(text(MSG_DOLL_SET_WRITTEN, {shownInSet(run.request, run.plan.configuration.name),
                                    number((long long)run.plan.set.parts.size()), number(layout.playfieldWidth),
                                    number(layout.playfieldHeight)}));
    const int groups = run.plan.set.paletteGroups;
    say(groups == 1 ? text(MSG_DOLL_SET_AS_DRAWN) : text(MSG_DOLL_SETS_RECOLOURED, {number(groups - 1)}));
    if (layout.dressUp)
        say(text(MSG_DOLL_SET_DRESS_UP, {number((long long)layout.sets.size() - 1)}));
}

// The names the doll maker gave that the set could not keep.
void sayRenamedFiles(const DollRequest& request, const DollPlan& plan)
{
    const std::wstring longestName = number((long long)KISS_NAME_BASE_CHARACTERS);
    if (!request.configuration.empty() && plan.configuration.changes != NAME_AS_GIVEN)
        say(text(MSG_DOLL_FILE_RENAMED, {request.configuration, plan.configuration.name,
                                          nameChangesInWords(plan.configuration.changes), longestName}));
    if (!request.sharedPalette.empty() && plan.sharedPalette.changes != NAME_AS_GIVEN)
        say(text(MSG_DOLL_FILE_RENAMED, {request.sharedPalette, plan.sharedPalette.name,
                                          nameChangesInWords(plan.sharedPalette.changes), longestName}));
}

// --lzh NAME.lzh: the set packed into one archive, a bare name beside the
// set's folder.
int packIfAsked(const DollRequest& request)
{
    if (request.archive.empty())
        return 0;
    const std::wstring archive =
        folderPart(request.archive).empty() ? besideFile(withoutEndSeparators(request.toFolder), fileName(request.archive)) : request.archive;
    PackedFolder packed;
    const PackProblem problem = packFolder(request.toFolder, archive, &packed);
    say(packLine(request.toFolder, archive, problem, packed));
    return problem.code == PACK_DONE ? 0 : 1;
}

int makeDollOrRunOutOfMemory(const Plugin& plugin, const DollRequest& request)
{
    DrawingLayers drawing;
    if (!openDrawing(request.layers, &drawing))
        return 1;
    DollSurvey survey;
    const SurveyOutcome surveyed = surveyLayers(drawing, request.transparency, &survey);
    if (surveyed != SURVEY_DONE) {
        sayWhyNot(drawing, survey, surveyed);
        return 1;
    }
    DollPlan plan = planDoll(request, drawing, survey);
    if (plan.jobs.empty()) {
        sayLayerLines(DollRun{request, drawing, survey, plan, NULL, {}, {}});
        say(text(MSG_DOLL_NOTHING_SHOWS, {request.toFolder}));
        return 1;
    }
    sayRenamedFiles(request, plan);

    // Everything that can be checked before a file is written.
    SetWriter writer(request.toFolder);
    ProtectedFiles pictures;
    for (size_t i = 0; i < drawing.count(); ++i)
        pictures.push_back(identifyFile(drawing.layer(i).file.c_str()));
    std::vector<std::wstring> names{plan.configuration.name};
    for (const CelJob& job : plan.jobs)
        names.push_back(job.cel);
    names.push_back(request.sharedPalette.empty() ? plan.backgroundPalette : plan.sharedPalette.name);
    const SetWriteProblem begun = writer.begin(names, pictures);
    if (writer.recovered().found != NO_LEFTOVERS)
        say(recoveryLine(writer.recovered(), request.toFolder));
    for (const KeptFile& kept : writer.recovered().kept)
        say(keptLine(kept));
    if (begun.step != SET_WRITTEN) {
        say(inWords(begun, request.toFolder));
        return 1;
    }

    DollRun run{request, drawing, survey, plan, &writer, {}, {}};
    run.colours = DollColours{&plugin, &writer, &drawing, &survey, request.transparency, request.background,
                              request.dither, plan.set.paletteGroups, pictures};
    const bool whole = request.sharedPalette.empty() ? makeCelsOnOwnColours(&run) : makeCelsOnOnePalette(&run);
    sayLayerLines(run);
    SetChanges changes;
    if (!whole || !stageConfiguration(&run, stagedNames(run), &changes)) {
        say(text(MSG_DOLL_NOT_WHOLE, {request.toFolder}));
        return 1;
    }
    const SetWriteProblem committed =
        writer.commit(changes.remove, std::set<std::wstring>(changes.keep.begin(), changes.keep.end()));
    if (committed.step != SET_WRITTEN) {
        say(inWords(committed, request.toFolder));
        return 1;
    }
    sayHowItWent(run);
    return packIfAsked(request);
}

}  // namespace

int makeDoll(const Plugin& plugin, const DollRequest& request)
{
    try {
        return makeDollOrRunOutOfMemory(plugin, request);
    } catch (const std::bad_alloc&) {
        say(text(MSG_DOLL_NO_MEMORY, {request.toFolder}));
        return 1;
    }
}
