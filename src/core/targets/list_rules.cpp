#include "targets/list_rules.h"

#include <algorithm>

namespace renomiq {

std::string selectionStatus(std::size_t selected, std::size_t total)
{
    if (selected == 0)
        return std::to_string(total) + " Files";
    return "Select " + std::to_string(selected) + ", total " + std::to_string(total);
}

std::string listWindowCaption(bool filesMode, std::size_t rows, bool folderBoxHasText)
{
    if (filesMode)
        return rows == 0 ? "Renomiq" : "Renomiq - rename some files";
    return folderBoxHasText ? "Renomiq - rename folder's files" : "Renomiq";
}

std::string listModeLabel(bool filesMode)
{
    return filesMode ? "OR add some files to below to edit their names together"
                     : "The filenames(one layer) in above folder:";
}

std::string trimmedBox(const std::string &text)
{
    const auto visible = [](char c) { return static_cast<unsigned char>(c) > 32; };
    const auto first = std::find_if(text.begin(), text.end(), visible);
    const auto last = std::find_if(text.rbegin(), text.rend(), visible).base();
    return first < last ? std::string(first, last) : std::string();
}

std::string parentFolderOf(const std::string &boxText)
{
    std::string text = trimmedBox(boxText);
    while (!text.empty() && text.back() == '\\')
        text.pop_back();
    const std::size_t cut = text.find_last_of("\\:");
    if (cut == std::string::npos)
        return {};
    return text.substr(0, cut + 1);
}

std::string nameWithoutExtension(const std::string &rowText)
{
    const std::size_t slash = rowText.rfind('\\');
    std::string name = slash == std::string::npos ? rowText : rowText.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

std::string rowPath(bool filesMode, const std::string &folder, const std::string &rowText)
{
    if (filesMode)
        return rowText;
    if (folder.empty() || folder.back() != '\\')
        return folder + '\\' + rowText;
    return folder + rowText;
}

PopupMenuState popupMenuState(bool filesMode, std::size_t selected, std::size_t rows)
{
    PopupMenuState s;
    s.addMore = filesMode || rows == 0;
    s.deleteRows = filesMode && selected > 0;
    s.anotherSession = selected > 0;
    s.selectAll = filesMode && rows > 0;
    s.clear = rows > 0;
    s.refresh = !filesMode || rows > 0;
    s.sortByName = filesMode ? rows > 1 : rows > 0;
    s.oneSelected = selected == 1;
    return s;
}

const std::vector<FileTypeFilter> &filesDialogFilters()
{
    static const std::vector<FileTypeFilter> filters = {
        {"All files (*.*)", "*.*"},
        {"Photo(*.jpg;*.jpeg;*.bmp;*.gif;*.tif;*.tiff;*.png)", "*.jpg;*.jpeg;*.bmp;*.gif;*.tif;*.tiff;*.png"},
        {"JPG;JPEG(*.jpg;*.jpeg)", "*.jpg;*.jpeg"},
        {"BITMAP(*.bmp)", "*.bmp"},
        {"TIF;TIFF(*.tif;*.tiff)", "*.tif;*.tiff"},
        {"GIF(*.gif)", "*.gif"},
        {"Document(*.txt;*.doc;*.xl*;*.ppt;*.pdf;*.htm;*.html;*.mht)",
         "*.txt;*.doc;*.xl*;*.ppt;*.pdf;*.htm;*.html;*.mht"},
        {"WORD(*.doc)", "*.doc"},
        {"PDF(*.pdf)", "*.pdf"},
        {"EXCEL(*.xl*)", "*.xl*"},
        {"Powerpoint(*.ppt)", "*.ppt"},
        {"Text(*.txt)", "*.txt"},
        {"Webpage(*.htm;*.html;*.mht)", "*.htm;*.html;*.mht"},
        {"Audio(*.mp3;*.wav;*.wma;*.mid)", "*.mp3;*.wav;*.wma"},
        {"Mp3(*.mp3)", "*.mp3"},
        {"Video(*.avi;*.wmv;*.rm;*.rmvb;*.mpg;*.mpeg;*.mov;*.mp4;*.asf;*.mkv)",
         "*.avi;*.wmv;*.rm;*.rmvb;*.mpg;*.mpeg;*.mov;*.mp4;*.asf;*.mkv"},
        {"Windows Media(*.avi;*.asf;*.wmv)", "*.avi;*.asf;*.wmv"},
        {"Real Media(*.rm;*.rmvb)", "*.rm;*.rmvb"},
        {"Movie(*.mpg;*.mpeg;*.mov)", "*.mpg;*.mpeg;*.mov"},
        {"Flash(*.flv;*.swf)", "*.flv;*.swf"},
    };
    return filters;
}

} // namespace renomiq
