#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace renomiq {

// The list window's file list as the run, the undo and the walks see it: rows
// of text (full paths in files mode, bare names in folder mode).
class FileList {
public:
    virtual ~FileList() = default;
    virtual std::size_t rowCount() const = 0;
    virtual std::string rowText(std::size_t row) const = 0;
    virtual void setRowText(std::size_t row, const std::string &text) = 0;
    virtual void appendRow(const std::string &text) = 0;
    virtual void clear() = 0;

    // Whether a row holds exactly this text (byte-wise). Lists that grow
    // large answer from an index of their rows.
    virtual bool hasRow(const std::string &text) const
    {
        for (std::size_t i = 0; i < rowCount(); ++i) {
            if (rowText(i) == text)
                return true;
        }
        return false;
    }

    // AddFileRow: appends a full path; with skipDuplicates, not when a row
    // with exactly the same text is there already.
    void addFileRow(const std::string &path, bool skipDuplicates = false)
    {
        if (skipDuplicates && hasRow(path))
            return;
        appendRow(path);
    }
};

// A file list kept as plain rows, where no window shows it.
class RowList : public FileList {
public:
    std::vector<std::string> rows;
    std::size_t rowCount() const override { return rows.size(); }
    std::string rowText(std::size_t row) const override { return rows.at(row); }
    void setRowText(std::size_t row, const std::string &text) override { rows.at(row) = text; }
    void appendRow(const std::string &text) override { rows.push_back(text); }
    void clear() override { rows.clear(); }
};

} // namespace renomiq
