#include "editor/string_token_text.h"

#include <cstdio>
#include <ctime>

namespace renomiq {

std::array<std::string, 6> todayCaptions(int year, int month, int day)
{
    char y[16], m[8], d[8];
    std::snprintf(y, sizeof y, "%d", year);
    std::snprintf(m, sizeof m, "%02d", month);
    std::snprintf(d, sizeof d, "%02d", day);
    const std::string Y(y), M(m), D(d);
    return {Y + M + D, Y + "-" + M + "-" + D, Y + "." + M + "." + D,
            M + D + Y, M + "-" + D + "-" + Y, M + "." + D + "." + Y};
}

std::array<std::string, 6> todayCaptions(std::int64_t time)
{
    const std::time_t t = static_cast<std::time_t>(time);
    std::tm local{};
    localtime_r(&t, &local);
    return todayCaptions(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

std::string dollarRun(std::size_t entries)
{
    if (entries >= 1000)
        return "$$$$";
    if (entries >= 100 || entries == 0)
        return "$$$";
    return "$$";
}

std::array<const char *, 11> metadataTokenNames()
{
    return {"taken", "make", "camera", "width", "height", "artist", "album", "title", "genre", "year", "track"};
}

std::string metadataTokenFor(std::string_view name, std::string_view format)
{
    std::string argument;
    if (name == "taken") {
        for (char c : format) {
            if (c != '{' && c != '}')
                argument += c;
        }
    } else if (name == "track" && !format.empty() && format.size() <= 2
               && format.find_first_not_of("0123456789") == std::string_view::npos) {
        argument = format;
    }
    return "{" + std::string(name) + (argument.empty() ? "" : ";" + argument) + "}";
}

std::string specialStringText(int code, bool useSpecialStrings, std::size_t workListEntries,
                              const std::string &todayCaption, const std::string &metadataToken)
{
    if (!useSpecialStrings)
        return {};
    switch (code) {
    case OrderedNumbers: return dollarRun(workListEntries);
    case Today: return todayCaption;
    case DisorderedNames: return "%6%";
    case FileDate: return "@@";
    case FileSize: return "##";
    case FolderName: return "%%";
    case Metadata: return metadataToken;
    default: return {};
    }
}

} // namespace renomiq
