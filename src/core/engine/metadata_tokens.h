#pragma once

#include "engine/item_metadata.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace renomiq {

class FileSystem;

// The tokens in braces that take a value from inside the item: "{taken}",
// "{taken;FORMAT}", "{make}", "{camera}", "{width}", "{height}" from a photo,
// "{artist}", "{album}", "{title}", "{genre}", "{year}", "{track}",
// "{track;N}" from a piece of music.
struct MetadataToken {
    enum class Kind { Taken, Make, Camera, Width, Height, Artist, Album, Title, Genre, Year, Track };
    Kind kind = Kind::Taken;
    std::string format;      // Taken: "yyyyMMdd" unless given
    std::size_t digits = 0;  // Track: the width it is zero-padded to

    bool fromPhoto() const { return kind <= Kind::Height; }
};

// The token the text between two braces names; no value when it names none.
std::optional<MetadataToken> parseMetadataToken(std::string_view inner);

// A text cut at its metadata tokens: literal text, then a token, and so on.
// Braces that make no token are literal text.
struct TextPiece {
    std::string literal;
    std::optional<MetadataToken> token; // follows the literal text
};
std::vector<TextPiece> splitAtMetadataTokens(std::string_view text);

// The token's text for an item, as a name can hold it; empty when the item
// has no such value.
std::string metadataTokenText(const MetadataToken &token, const PhotoMetadata &photo, const AudioMetadata &audio);

// The metadata of the items of a run, each file read once, and only for what
// a token asks (a photo's or a piece of music's).
class ItemMetadataCache {
public:
    explicit ItemMetadataCache(FileSystem &fileSystem) : m_fileSystem(fileSystem) {}

    const PhotoMetadata &photo(const std::string &itemPath);
    const AudioMetadata &audio(const std::string &itemPath);
    // Forgets what was read: the files may change before the next run.
    void clear() { m_entries.clear(); }
    // How many times a file was read, for either kind.
    std::size_t filesRead() const { return m_filesRead; }
    // Counts the reads of another cache of the same run (another thread's) as its own.
    void countReadsOf(const ItemMetadataCache &other) { m_filesRead += other.m_filesRead; }

private:
    struct Entry {
        std::optional<PhotoMetadata> photo;
        std::optional<AudioMetadata> audio;
    };

    FileSystem &m_fileSystem;
    std::unordered_map<std::string, Entry> m_entries;
    std::size_t m_filesRead = 0;
};

} // namespace renomiq
