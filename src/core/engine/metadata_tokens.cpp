#include "engine/metadata_tokens.h"

#include "platform/file_system.h"

#include <utility>

namespace renomiq {

namespace {

std::string padded(unsigned value, std::size_t digits)
{
    std::string text = std::to_string(value);
    if (text.size() < digits)
        text.insert(0, digits - text.size(), '0');
    return text;
}

std::string numberText(std::optional<std::uint32_t> value)
{
    return value ? std::to_string(*value) : std::string();
}

} // namespace

std::optional<MetadataToken> parseMetadataToken(std::string_view inner)
{
    using K = MetadataToken::Kind;
    const std::size_t semicolon = inner.find(';');
    const std::string_view name = inner.substr(0, semicolon);
    const bool hasArgument = semicolon != std::string_view::npos;
    const std::string_view argument = hasArgument ? inner.substr(semicolon + 1) : std::string_view();
    static const std::pair<std::string_view, K> kPlain[] = {
        {"make", K::Make},     {"camera", K::Camera}, {"width", K::Width}, {"height", K::Height},
        {"artist", K::Artist}, {"album", K::Album},   {"title", K::Title}, {"genre", K::Genre},
        {"year", K::Year}};
    MetadataToken token;
    if (name == "taken") {
        token.kind = K::Taken;
        if (hasArgument && argument.empty())
            return std::nullopt;
        token.format = hasArgument ? std::string(argument) : std::string("yyyyMMdd");
        return token;
    }
    if (name == "track") {
        token.kind = K::Track;
        if (hasArgument) {
            // One or two digits.
            if (argument.empty() || argument.size() > 2)
                return std::nullopt;
            for (char c : argument) {
                if (c < '0' || c > '9')
                    return std::nullopt;
                token.digits = token.digits * 10 + static_cast<std::size_t>(c - '0');
            }
        }
        return token;
    }
    if (hasArgument)
        return std::nullopt;
    for (const auto &[plainName, kind] : kPlain) {
        if (name == plainName) {
            token.kind = kind;
            return token;
        }
    }
    return std::nullopt;
}

std::vector<TextPiece> splitAtMetadataTokens(std::string_view text)
{
    std::vector<TextPiece> pieces;
    std::size_t literalStart = 0;
    std::size_t from = 0;
    while (true) {
        const std::size_t open = text.find('{', from);
        if (open == std::string_view::npos)
            break;
        const std::size_t next = text.find_first_of("{}", open + 1);
        if (next == std::string_view::npos)
            break;
        if (text[next] == '{') { // the inner brace may open a token
            from = next;
            continue;
        }
        if (auto token = parseMetadataToken(text.substr(open + 1, next - open - 1))) {
            pieces.push_back({std::string(text.substr(literalStart, open - literalStart)), std::move(token)});
            literalStart = next + 1;
            from = next + 1;
        } else {
            from = open + 1;
        }
    }
    if (literalStart < text.size() || pieces.empty())
        pieces.push_back({std::string(text.substr(literalStart)), std::nullopt});
    return pieces;
}

std::string metadataTokenText(const MetadataToken &token, const PhotoMetadata &photo, const AudioMetadata &audio)
{
    using K = MetadataToken::Kind;
    switch (token.kind) {
    case K::Taken: return photo.taken ? nameSafeValue(formatTakenTime(*photo.taken, token.format)) : std::string();
    case K::Make: return nameSafeValue(photo.make);
    case K::Camera: return nameSafeValue(photo.model);
    case K::Width: return numberText(photo.width);
    case K::Height: return numberText(photo.height);
    case K::Artist: return nameSafeValue(audio.artist);
    case K::Album: return nameSafeValue(audio.album);
    case K::Title: return nameSafeValue(audio.title);
    case K::Genre: return nameSafeValue(audio.genre);
    case K::Year: return audio.year ? std::to_string(audio.year) : std::string();
    case K::Track: return audio.track ? padded(audio.track, token.digits) : std::string();
    }
    return {};
}

const PhotoMetadata &ItemMetadataCache::photo(const std::string &itemPath)
{
    Entry &entry = m_entries[itemPath];
    if (!entry.photo) {
        const std::optional<std::string> host = m_fileSystem.toHostPath(itemPath);
        entry.photo = host ? readPhotoMetadata(*host) : PhotoMetadata();
        ++m_filesRead;
    }
    return *entry.photo;
}

const AudioMetadata &ItemMetadataCache::audio(const std::string &itemPath)
{
    Entry &entry = m_entries[itemPath];
    if (!entry.audio) {
        const std::optional<std::string> host = m_fileSystem.toHostPath(itemPath);
        entry.audio = host ? readAudioMetadata(*host) : AudioMetadata();
        ++m_filesRead;
    }
    return *entry.audio;
}

} // namespace renomiq
