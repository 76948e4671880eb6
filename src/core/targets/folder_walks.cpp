#include "targets/folder_walks.h"

#include "engine/text_rules.h"
#include "platform/file_system.h"
#include "platform/name_order.h"
#include "platform/prompter.h"
#include "targets/file_list.h"

#include <algorithm>
#include <cstring>

namespace renomiq {

bool isWebpageFolder(const std::string &name)
{
    const std::string lower = asciiLower(name);
    const std::size_t dot = lower.rfind('.');
    if (dot != std::string::npos && lower.substr(dot) == ".files")
        return true;
    return lower.size() >= 6 && lower.compare(lower.size() - 6, 6, "_files") == 0;
}

std::string withTrailingBackslash(std::string folder)
{
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    return folder;
}

namespace {

using ProcessWorkList = std::function<void(bool continued)>;

// What a walk hands over: the work list, and the entries of the whole batch
// that it is part of.
struct HandOver {
    std::vector<std::string> &workList;
    std::size_t &batchEntries;
    const ProcessWorkList &process;
    // A run in parallel takes each batch whole, with its folder's hold.
    const std::function<void(FolderBatch &&)> *take = nullptr;
    // The identities of the work list's items, when asked for.
    std::vector<ItemId> *identities = nullptr;
};

void visitFolderInStretches(FileSystem &fs, FolderScope scope, const std::string &folder, const HandOver &handOver,
                            const bool &stopRequest, const UnreachableItem &unreachable);

// False when the folder could not be held (gone, or a link now where the walk
// found a folder): it fails as unreachable, with an empty batch.
bool held(const FolderHold &hold, const std::string &folder, const HandOver &handOver,
          const UnreachableItem &unreachable, std::size_t depth = 0)
{
    if (hold.status())
        return true;
    if (unreachable)
        unreachable(folder, reasonOf(hold.status().error()));
    if (handOver.take) {
        (*handOver.take)(FolderBatch{withTrailingBackslash(folder), depth, {}, nullptr, {}});
        return false;
    }
    handOver.workList.clear();
    if (handOver.identities)
        handOver.identities->clear();
    handOver.batchEntries = 0;
    handOver.process(false);
    return false;
}

void visitFolder(FileSystem &fs, FolderScope scope, const std::string &folder, const HandOver &handOver,
                 const bool &stopRequest, const UnreachableItem &unreachable, WalkExtent extent,
                 std::size_t depth = 0)
{
    if (extent == WalkExtent::UntilStopped) {
        visitFolderInStretches(fs, scope, folder, handOver, stopRequest, unreachable);
        return;
    }
    const std::string p = withTrailingBackslash(folder);
    // Held until its batch is renamed: the batch goes through this folder,
    // whatever its path leads to by then.
    auto hold = std::make_shared<FolderHold>(fs, p);
    if (!held(*hold, folder, handOver, unreachable, depth))
        return;
    std::vector<std::string> batch;
    std::vector<ItemId> identities;
    const auto unnamable = [&](const std::string &name, const std::string &reason) {
        if (unreachable)
            unreachable(p + name, reason);
    };
    const Status listed = fs.enumerateNames(
        p,
        [&](const FileSystem::NameEntry &entry) {
            if (stopRequest)
                return false;
            if (entry.isDirectory) {
                if (scope == FolderScope::OneLayer || isWebpageFolder(entry.name))
                    return true;
                if (scope == FolderScope::OnlySubfolders) {
                    batch.push_back(p + entry.name);
                    identities.push_back(entry.listed);
                }
                if (!entry.isLink)
                    visitFolder(fs, scope, p + entry.name, handOver, stopRequest, unreachable, WalkExtent::Full,
                                depth + 1);
            } else if (scope != FolderScope::OnlySubfolders) {
                batch.push_back(p + entry.name);
                identities.push_back(entry.listed);
            }
            return true;
        },
        unnamable);
    if (!listed && unreachable)
        unreachable(folder, reasonOf(listed.error()));
    if (handOver.take) {
        (*handOver.take)(FolderBatch{p, depth, std::move(batch), std::move(hold), std::move(identities)});
        return;
    }
    handOver.batchEntries = batch.size();
    handOver.workList = std::move(batch);
    if (handOver.identities)
        *handOver.identities = std::move(identities);
    handOver.process(false);
}

// The same walk for a preview: the folder is read once, unsorted; its
// subfolders are entered in name order, and then its batch is handed over in
// stretches of the name order, so that a preview that stops after its rows
// never sorts the rest of a large folder.
void visitFolderInStretches(FileSystem &fs, FolderScope scope, const std::string &folder, const HandOver &handOver,
                            const bool &stopRequest, const UnreachableItem &unreachable)
{
    const std::string p = withTrailingBackslash(folder);
    const FolderHold hold(fs, p);
    if (!held(hold, folder, handOver, unreachable))
        return;
    // A preview records no identities.
    if (handOver.identities)
        handOver.identities->clear();
    struct Entry {
        std::string name;
        bool isLink;
    };
    std::vector<Entry> subfolders, files;
    const auto unnamable = [&](const std::string &name, const std::string &reason) {
        if (unreachable)
            unreachable(p + name, reason);
    };
    const Status listed = fs.enumerateNames(
        p,
        [&](const FileSystem::NameEntry &entry) {
            if (entry.isDirectory) {
                if (scope != FolderScope::OneLayer && !isWebpageFolder(entry.name))
                    subfolders.push_back({entry.name, entry.isLink});
            } else if (scope != FolderScope::OnlySubfolders) {
                files.push_back({entry.name, false});
            }
            return true;
        },
        unnamable, FileSystem::EntryOrder::Unsorted);
    const auto nameOf = [](const std::vector<Entry> &entries) {
        return [&entries](std::size_t i) { return std::string_view(entries[i].name); };
    };
    std::vector<std::string> batch;
    NameOrder::visitInOrder(subfolders.size(), nameOf(subfolders), [&](std::size_t i) {
        if (stopRequest)
            return false;
        if (scope == FolderScope::OnlySubfolders)
            batch.push_back(p + subfolders[i].name);
        if (!subfolders[i].isLink)
            visitFolderInStretches(fs, scope, p + subfolders[i].name, handOver, stopRequest, unreachable);
        return true;
    });
    if (!listed && unreachable)
        unreachable(folder, reasonOf(listed.error()));
    // The files, stretch by stretch: each handed over as soon as it is full;
    // the batch counts whole (the subfolders in scope OnlySubfolders).
    const std::size_t entries = scope == FolderScope::OnlySubfolders ? subfolders.size() : files.size();
    bool continued = false;
    std::size_t stretch = 64;
    NameOrder::visitInOrder(
        files.size(), nameOf(files),
        [&](std::size_t i) {
            if (stopRequest)
                return false;
            batch.push_back(p + files[i].name);
            if (batch.size() < stretch)
                return true;
            handOver.batchEntries = entries;
            handOver.workList = std::move(batch);
            batch.clear();
            handOver.process(continued);
            continued = true;
            stretch *= 2;
            return !stopRequest;
        },
        NameOrder::Extent::AsVisited);
    if (continued && batch.empty())
        return;
    handOver.batchEntries = entries;
    handOver.workList = std::move(batch);
    handOver.process(continued);
}

} // namespace

void visitTargets(FileSystem &fileSystem, const TargetSet &targets, std::vector<std::string> &workList,
                  const bool &stopRequest, const ProcessWorkList &processWorkList, const UnreachableItem &unreachable,
                  WalkExtent extent, std::size_t *batchEntries, std::vector<ItemId> *identities)
{
    std::size_t entries = 0;
    const HandOver handOver{workList, batchEntries ? *batchEntries : entries, processWorkList, nullptr, identities};
    if (identities)
        identities->clear(); // the items' own look-ups tell
    if (targets.filesMode) {
        handOver.batchEntries = workList.size();
        processWorkList(false);
        return;
    }
    if (targets.folderScope == FolderScope::ThisFolderOnly) {
        std::string folder = targets.targetFolder;
        if (folder.size() > 1 && folder.back() == '\\')
            folder.pop_back();
        workList = {folder};
        handOver.batchEntries = 1;
        processWorkList(false);
        return;
    }
    visitFolder(fileSystem, targets.folderScope, targets.targetFolder, handOver, stopRequest, unreachable, extent);
}

void visitFolderBatches(FileSystem &fileSystem, const TargetSet &targets, const bool &stopRequest,
                        const std::function<void(FolderBatch &&)> &take, const UnreachableItem &unreachable)
{
    std::vector<std::string> unused;
    std::size_t entries = 0;
    const ProcessWorkList none = [](bool) {};
    const HandOver handOver{unused, entries, none, &take};
    visitFolder(fileSystem, targets.folderScope, targets.targetFolder, handOver, stopRequest, unreachable,
                WalkExtent::Full);
}

std::string FolderListing::statusText() const
{
    return std::to_string(folders.size()) + " Folders " + std::to_string(files.size()) + " Files";
}

FolderListing listFolder(FileSystem &fileSystem, Prompter &prompter, ListingControl &control, TargetCounts &counts,
                         const std::string &boxText,
                         const std::function<void()> &afterEntry, const std::function<void()> &firstEntry)
{
    FolderListing listing;
    const auto visible = [](char c) { return static_cast<unsigned char>(c) > 32; };
    const auto first = std::find_if(boxText.begin(), boxText.end(), visible);
    const auto last = std::find_if(boxText.rbegin(), boxText.rend(), visible).base();
    listing.boxText = first < last ? std::string(first, last) : std::string();

    if (!fileSystem.folderExists(listing.boxText)) {
        if (listing.boxText.size() == 1 && fileSystem.folderExists(listing.boxText + ":")) {
            listing.boxText += ":";
        } else {
            prompter.information(listing.boxText.size() == 1 ? "The target folder is invalid, please select again."
                                                              : "The selected folder is invalid!");
            return listing;
        }
    }
    counts.firstLayerFileCount = 0;
    control.running = true;
    listing.boxText = withTrailingBackslash(listing.boxText);

    bool seenEntry = false;
    const Status listed = fileSystem.enumerateNames(listing.boxText, [&](const FileSystem::NameEntry &entry) {
        if (!seenEntry && firstEntry)
            firstEntry();
        seenEntry = true;
        if (entry.isDirectory) {
            listing.folders.push_back(entry.name);
        } else {
            listing.files.push_back(entry.name);
            ++counts.firstLayerFileCount;
        }
        if (afterEntry)
            afterEntry();
        return !control.abort;
    });
    // Shown as what it is, not as an empty folder.
    if (!listed)
        prompter.show({"Error", "The folder could not be read: " + listed.error().message, MessageIcon::Error,
                       MessageButtons::Ok});
    listing.status = control.abort ? FolderListing::Aborted : FolderListing::Listed;
    // The listing is over, aborted or not: the next one starts afresh.
    control.running = false;
    control.abort = false;
    return listing;
}

std::vector<std::size_t> nameOrderIgnoringCase(const std::vector<std::string> &names)
{
    std::vector<NameOrder::Key> keys;
    keys.reserve(names.size());
    for (const std::string &name : names)
        keys.push_back(NameOrder::key(name));
    std::vector<std::size_t> order(names.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const int c = keys[a].compare(keys[b]);
        return c != 0 ? c < 0 : names[a] < names[b];
    });
    return order;
}

std::string findSampleFile(FileSystem &fileSystem, TargetCounts &counts, const std::string &folder, TargetLookup lookup,
                           std::string *listingError)
{
    const std::string p = withTrailingBackslash(folder);
    counts.firstLayerFileCount = 0;
    std::string result;
    // The count up to 30 and the emptiness do not depend on the order; only
    // the sample does, and it needs no more than the first stretch sorted.
    const auto order = lookup == TargetLookup::FirstInOrder ? FileSystem::EntryOrder::SortedAsVisited
                                                            : FileSystem::EntryOrder::Unsorted;
    const Status listed = fileSystem.enumerateNames(
        p,
        [&](const FileSystem::NameEntry &entry) {
            counts.folderIsEmpty = false;
            if (!entry.isDirectory) {
                if (counts.firstLayerFileCount == 0)
                    result = p + entry.name;
                ++counts.firstLayerFileCount;
            }
            return counts.firstLayerFileCount < 30;
        },
        {}, order);
    if (!listed && listingError)
        *listingError = reasonOf(listed.error());
    return result;
}

std::string findFirstSubfolder(FileSystem &fileSystem, TargetCounts &counts, const std::string &folder,
                               std::string *listingError)
{
    const std::string p = withTrailingBackslash(folder);
    counts.firstLayerFileCount = 0;
    std::string result;
    // The files counted are those before the first subfolder in name order.
    const Status listed = fileSystem.enumerateNames(
        p,
        [&](const FileSystem::NameEntry &entry) {
            if (entry.isDirectory) {
                result = p + entry.name;
                return false;
            }
            ++counts.firstLayerFileCount;
            return true;
        },
        {}, FileSystem::EntryOrder::SortedAsVisited);
    if (!listed && listingError)
        *listingError = reasonOf(listed.error());
    return result;
}

void collectFilesForRun(const FileList &fileList, TargetSet &targets, std::vector<std::string> &workList)
{
    workList.clear();
    for (std::size_t i = 0; i < fileList.rowCount(); ++i)
        workList.push_back(fileList.rowText(i));
    targets.targetFolder.clear();
    targets.filesMode = true;
}

} // namespace renomiq
