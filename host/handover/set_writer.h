// The one way a KiSS set goes into a folder: whole, or not at all, and
// whatever stood there before either replaced as a whole or left exactly as
// it was, even when the run is killed halfway.
//
//   SetWriter writer(folder);
//   writer.begin(names, pictures);          // leftovers put right, everything checked
//   writer.stageCel(...), stagePalette(...), stageText(...)   // each file of the set
//   writer.commit(staleNames, editedNames); // the set put in place
//   writer.kept(), writer.recovered()       // for the lines that say so
//
// Every file of the new set is first written, through the converter's own
// writers (kiss_output.h), into a staging folder inside FOLDER,
// `porvane-new-set`. Only when all are there does the commit put them in
// place: it writes a journal into the staging folder, moves each file the
// new set replaces (and each file of the old set the caller names for
// removal) aside into a second folder, `porvane-old-set`, moves each new
// file into FOLDER, and rewrites the journal to say so: that rewrite, which
// the plug-in's writer makes in one rename, is the moment the new set takes
// the old one's place. Then the files moved aside are deleted, except those
// the caller marks as edited by hand, which take a name of their own in
// FOLDER (doll.cnf becomes doll-edited.cnf, then doll-edited2.cnf, ...).
// A failure before that moment moves everything back; a failure after it
// leaves only leftovers that the next run clears.
//
// Every move is a rename within FOLDER's volume that never replaces a file,
// so a file is always in one of its two places, and what a run did can be
// read from where the files are. The journal, UTF-8, one line each:
//
//     porvane-host set journal
//     committing                  (or: committed)
//     new body.cel                a file of the new set, staged or moved in
//     old doll.cnf                a file moved aside, or about to be
//     edited doll.cnf             one of those, to be kept under another name
//
// A run that finds leftovers puts them right before anything else: a staging
// folder without a journal holds only files of a set never put in place (and
// the plug-in's kis*.tmp files), and is removed; a journal that says
// "committing" means the old set comes back (each new file no longer in the
// staging folder goes back into it, each file moved aside goes back to its
// place); "committed" means the new set stays, and the files moved aside are
// deleted or kept as above. Either way the two folders go (the journal
// before the new files it lists, so that none can pass for one moved in), so
// that a set in a folder is always the old one or the new one once a run has
// looked at it.
// Putting right is itself made of the same moves, so a run killed while it
// puts right is put right by the next.
#ifndef PORVANE_SET_WRITER_H
#define PORVANE_SET_WRITER_H

#include <set>
#include <string>
#include <vector>

#include "kiss_output.h"
#include "write_problem.h"

// Which step of writing a set failed; `write` in SetWriteProblem says why,
// from the system's error, and names the file or folder.
enum SetWriteStep {
    SET_WRITTEN = 0,
    SET_LEFTOVERS_NOT_CLEARED,  // an interrupted run's files could not be put back or taken out
    SET_LEFTOVER_IN_THE_WAY,    // a folder of the writer's names holds what it did not leave there
    SET_FOLDER_NOT_MADE,        // FOLDER (or a folder above it) cannot be made
    SET_FOLDER_NOT_WRITABLE,    // nothing can be made in FOLDER
    SET_NAME_TWICE,             // two files of the set have one name (write.path)
    SET_NAME_NOT_FREE,          // a file of the set cannot go where its name says (a folder stands there, a
                                // read-only file, a picture being converted, or the name is too long)
    SET_FILE_NOT_STAGED,        // a file of the set, or the journal, was not written
    SET_NOT_PUT_IN_PLACE,       // a file could not be moved; FOLDER holds the old set, as it was
};

struct SetWriteProblem {
    SetWriteStep step = SET_WRITTEN;
    WriteProblem write;
};

// A file moved aside that was kept, under another name, in FOLDER.
struct KeptFile {
    std::wstring path;    // where it was
    std::wstring keptAs;  // where it is
};

// What the writer found of an interrupted run before it began.
enum RecoveryFound {
    NO_LEFTOVERS,
    OLD_SET_RESTORED,  // the run had not put its set in place: its files are gone, the old set is back
    NEW_SET_FINISHED,  // the run had put its set in place: what it left undone is done
};

struct Recovery {
    RecoveryFound found = NO_LEFTOVERS;
    std::vector<KeptFile> kept;  // files of the old set a finished run kept
};

// Puts right what an interrupted run left in `folder` (nothing when it left
// nothing); `*recovery` says what that was.
SetWriteProblem recoverSet(const std::wstring& folder, Recovery* recovery);

// The name under which an edited file is kept: "doll-edited.cnf" for
// `number` 1, "doll-edited2.cnf" for 2, ...
std::wstring keptName(const std::wstring& name, unsigned number);

class SetWriter {
public:
    explicit SetWriter(const std::wstring& folder);
    // A set begun and not committed is taken out again: its staging folder
    // goes, and so do the folders begin() made.
    ~SetWriter();
    SetWriter(const SetWriter&) = delete;
    SetWriter& operator=(const SetWriter&) = delete;

    // Puts right an interrupted run's leftovers, checks every name of the
    // new set (`names`, within FOLDER) before anything is written, makes
    // FOLDER and every folder above it that is missing, and makes the
    // staging folder. No name may be one of `pictures`.
    SetWriteProblem begin(const std::vector<std::wstring>& names, const ProtectedFiles& pictures);

    // The file `name` of the new set, written into the staging folder by the
    // converter's writers. What they return names the file where it will be
    // in FOLDER. A name begin() was not given is checked first.
    CelOutcome stageCel(const Plugin& plugin, const SourcePicture& picture, const std::wstring& name,
                        const ProtectedFiles& pictures, ProgressCallback progress, LONG userValue);
    WriteProblem stagePalette(const std::vector<uint32_t>& colours, const std::wstring& name,
                              const ProtectedFiles& pictures);
    WriteProblem stageText(const std::string& text, const std::wstring& name);

    // Where a staged file is until the commit, to be read back (its CRC for
    // the made record); empty when `name` has not been staged.
    std::wstring stagedPath(const std::wstring& name) const;

    // Puts the staged set in place. The files of the old set named in
    // `staleNames` go too (when they are there, and neither folders nor
    // read-only); the replaced or stale files named in `editedNames` are kept
    // under names of their own (kept()). Refused, with the first staging's
    // problem, when a staging failed. On failure FOLDER is exactly as it was.
    SetWriteProblem commit(const std::vector<std::wstring>& staleNames, const std::set<std::wstring>& editedNames);

    const std::vector<KeptFile>& kept() const { return kept_; }
    const Recovery& recovered() const { return recovery_; }

private:
    SetWriteProblem checkName(const std::wstring& name, const ProtectedFiles& pictures);
    template <typename Write>
    WriteProblem stage(const std::wstring& name, const ProtectedFiles& pictures, Write write);
    WriteProblem shownInFolder(WriteProblem problem) const;
    void abandon();

    std::wstring folder_, staging_;
    std::vector<std::wstring> madeFolders_;  // by begin(), deepest first
    std::vector<std::wstring> staged_;       // names in the staging folder
    std::set<std::wstring> checked_;         // names checked, folded as Windows folds them
    bool begun_ = false, stagingFailed_ = false;
    WriteProblem stagingProblem_;  // the first staging's that failed
    std::vector<KeptFile> kept_;
    Recovery recovery_;
};

#endif
