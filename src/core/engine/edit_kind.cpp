#include "engine/edit_kind.h"

namespace renomiq {

namespace {

constexpr std::pair<EditKind, std::string_view> kKeywords[] = {
    {EditKind::Removpart, "Removpart"}, {EditKind::Replapart, "Replapart"},
    {EditKind::Addnewnum, "Addnewnum"}, {EditKind::Changnew, "Changnew"},
    {EditKind::Changexten, "Changexten"}, {EditKind::Savealls, "Savealls"},
    {EditKind::Savesomes, "Savesomes"}, {EditKind::Browsefile, "Browsefile"},
};

} // namespace

std::string_view keywordOf(EditKind kind)
{
    for (const auto &[k, keyword] : kKeywords) {
        if (k == kind)
            return keyword;
    }
    return "Browsefile";
}

std::optional<EditKind> editKindFromKeyword(std::string_view keyword)
{
    for (const auto &[k, word] : kKeywords) {
        if (word == keyword)
            return k;
    }
    return std::nullopt;
}

} // namespace renomiq
