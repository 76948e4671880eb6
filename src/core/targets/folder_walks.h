#pragma once

#include "platform/file_system.h"
#include "targets/target_set.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace renomiq {

class FileSystem;
class FileList;
class FolderHold;
class Prompter;

// A subfolder whose name, lower-cased, has the extension ".files" or ends
// with "_files": a saved web page's folder.
bool isWebpageFolder(const std::string &name);

// The folder path with one trailing '\'.
std::string withTrailingBackslash(std::string folder);

// A folder or an item the run walk cannot reach (a folder it cannot read, a
// name it cannot write as a path), with the system's reason.
using UnreachableItem = std::function<void(const std::string &path, const std::string &reason)>;

// How far a run walk is expected to go.
enum class WalkExtent {
    Full,        // an execution: every folder's batch in one piece
    UntilStopped // a preview, stopped after its rows: a folder's batch comes
                 // in stretches, sorted only as far as the preview reads
};

// The run walk: hands the items of a run to processWorkList batch by batch,
// each folder's batch in workList. Subfolders' batches come before their
// parent's, so no path still needed changes underneath the walk; stopRequest
// is read between entries. Linked folders are never entered (in scope
// OnlySubfolders the link itself is renamed). processWorkList is told when
// workList continues the batch it was given last (UntilStopped only).
// batchEntries, when given, holds the entries of the whole batch that
// workList is part of whenever processWorkList runs. identities, when given,
// then holds the identity of each item of workList as the folder's listing
// read it (inode 0 where the listing does not tell it), or nothing.
void visitTargets(FileSystem &fileSystem, const TargetSet &targets, std::vector<std::string> &workList,
                  const bool &stopRequest, const std::function<void(bool continued)> &processWorkList,
                  const UnreachableItem &unreachable = {}, WalkExtent extent = WalkExtent::Full,
                  std::size_t *batchEntries = nullptr, std::vector<ItemId> *identities = nullptr);

// One folder's batch as a run over several folders in parallel takes it: the
// folder (with its trailing '\'), how deep it lies below the target folder
// (0 for the target folder), its items, and its hold, kept until the batch is
// renamed (none when the folder could not be held), and the identity of each
// item as the listing read it (inode 0 where it does not tell it).
struct FolderBatch {
    std::string folder;
    std::size_t depth = 0;
    std::vector<std::string> items;
    std::shared_ptr<FolderHold> hold;
    std::vector<ItemId> identities;
};

// The run walk of an execution over a target folder (scope AllLayers or
// OnlySubfolders), as visitTargets goes, each folder's batch handed to `take`:
// subfolders' batches before their folder's.
void visitFolderBatches(FileSystem &fileSystem, const TargetSet &targets, const bool &stopRequest,
                        const std::function<void(FolderBatch &&)> &take, const UnreachableItem &unreachable = {});

// The listing walk's data: the folder box text as it ends up, the sorted
// subfolder and file names, and whether the listing was refused or aborted.
struct FolderListing {
    enum Status { Listed, Aborted, Refused };
    Status status = Refused;
    std::string boxText;
    std::vector<std::string> folders;
    std::vector<std::string> files;

    // "3 Folders 12 Files"
    std::string statusText() const;
};

// Lists the folder named by the box text. afterEntry runs after each entry
// (the window processes its events there and may set control.abort); firstEntry
// runs once, when the folder shows its first entry (the window hides its guide
// panel). Refusals show their information box; a folder that cannot be read
// shows an error box and lists what was read of it.
FolderListing listFolder(FileSystem &fileSystem, Prompter &prompter, ListingControl &control, TargetCounts &counts,
                         const std::string &boxText, const std::function<void()> &afterEntry = {},
                         const std::function<void()> &firstEntry = {});

// The order of names sorted by their letters without regard to case (names
// equal that way by their bytes): the indices of `names`, first to last.
std::vector<std::size_t> nameOrderIgnoringCase(const std::vector<std::string> &names);

// What a look-up of the targets must give: the first item in name order (the
// sample shown), or any item (a check that there is something to rename,
// which spares sorting the folder).
enum class TargetLookup { FirstInOrder, AnyItem };

// The first file in name order (with AnyItem: some file), or empty; counts
// the first layer's files up to 30 and clears folderIsEmpty when the folder
// holds anything. When the folder cannot be listed, listingError (if given)
// receives the reason.
std::string findSampleFile(FileSystem &fileSystem, TargetCounts &counts, const std::string &folder,
                           TargetLookup lookup = TargetLookup::FirstInOrder, std::string *listingError = nullptr);
// The first subfolder, or empty; counts the files met before it.
std::string findFirstSubfolder(FileSystem &fileSystem, TargetCounts &counts, const std::string &folder,
                               std::string *listingError = nullptr);

// CollectFilesForRun: the file list's rows, top to bottom, become the work list.
void collectFilesForRun(const FileList &fileList, TargetSet &targets, std::vector<std::string> &workList);

} // namespace renomiq
