#include "list/list_window_model.h"

#include <QAbstractItemModelTester>
#include <QPersistentModelIndex>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace renomiq {
namespace {

using Lines = std::vector<std::string>;

// The file list's model under Qt's model checker (a fault aborts): after each
// change, the rows are as expected and an index held on an item still points
// at that item (or is gone with it).
TEST(FileListModelTest, RowsAndHeldIndicesFollowEditsRemovalsAndReorders)
{
    const struct {
        const char *what;
        bool checkable;
        std::function<void(FileListModel &)> change;
        Lines rows;
        // Per row before the change: its row after it, -1 when removed.
        std::vector<int> movedTo;
    } cases[] = {
        {"edit", false, [](FileListModel &m) { m.setRowText(1, "B.txt"); }, {"c.txt", "B.txt", "a.txt", "d.txt"},
         {0, 1, 2, 3}},
        {"remove one", false, [](FileListModel &m) { m.removeRows({1}); }, {"c.txt", "a.txt", "d.txt"},
         {0, -1, 1, 2}},
        {"remove scattered", true, [](FileListModel &m) { m.removeRows({3, 0, 1, 3}); }, {"a.txt"},
         {-1, -1, 0, -1}},
        {"sort", true, [](FileListModel &m) { m.reorderRows({2, 1, 0, 3}); }, {"a.txt", "b.txt", "c.txt", "d.txt"},
         {2, 1, 0, 3}},
        {"reverse", false, [](FileListModel &m) { m.reorderRows({3, 2, 1, 0}); },
         {"d.txt", "a.txt", "b.txt", "c.txt"}, {3, 2, 1, 0}},
        {"append", true, [](FileListModel &m) { m.appendRows({"e.txt", "a.txt"}, true); },
         {"c.txt", "b.txt", "a.txt", "d.txt", "e.txt"}, {0, 1, 2, 3}},
        {"check", true, [](FileListModel &m) { m.setChecked({0, 2}, true); }, {"c.txt", "b.txt", "a.txt", "d.txt"},
         {0, 1, 2, 3}},
        {"checkable off", true, [](FileListModel &m) { m.setCheckable(false); },
         {"c.txt", "b.txt", "a.txt", "d.txt"}, {-1, -1, -1, -1}},
        {"clear", false, [](FileListModel &m) { m.clear(); }, {}, {-1, -1, -1, -1}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        FileListModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
        model.setCheckable(c.checkable);
        model.appendRows({"c.txt", "b.txt", "a.txt", "d.txt"}, false);
        std::vector<QPersistentModelIndex> held;
        for (int row = 0; row < 4; ++row)
            held.emplace_back(model.index(row));

        c.change(model);

        EXPECT_EQ(model.rowTexts(), c.rows);
        ASSERT_EQ(model.rowCount(QModelIndex()), static_cast<int>(c.rows.size()));
        for (std::size_t before = 0; before < held.size(); ++before) {
            EXPECT_EQ(held[before].isValid() ? held[before].row() : -1, c.movedTo[before]) << "row " << before;
            if (held[before].isValid()) {
                EXPECT_EQ(held[before].data().toString().toStdString(),
                          c.rows[static_cast<std::size_t>(held[before].row())]);
            }
        }
    }
}

} // namespace
} // namespace renomiq
