"""The undo history as a user reaches it: two runs from the editor, then
"Undo history" from the file list's popup menu undoes both, newest first."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import renomiq_e2e as e2e  # noqa: E402

PROGRAM = e2e.PROGRAM


class UndoHistoryTest(e2e.SessionTestCase):
    def run_edit(self, app, button, title, boxes, folder, after, ticks=()):
        """Opens an editor from the list window, ticks its check boxes, fills
        its boxes and runs it."""
        app.click(app.find(button, role="push button"))
        editor = app.window(title)
        first = app.find(boxes[0][0], role="text", within=editor)
        app.wait_focus(first)
        for name in ticks:
            tick = app.find(name, role="check box", within=editor)
            if not app.is_checked(tick):
                app.click(tick)
                app.wait(lambda: app.is_checked(tick), what="%r ticked" % name)
        for name, text in boxes:
            app.set_text(app.find(name, role="text", within=editor), text)
        app.click(app.find("OK", role="push button", within=editor))
        app.wait(lambda: sorted(os.listdir(folder)) == after, what="the run to %r" % after)
        app.wait(lambda: title not in app.windows(), what="the editor to close")

    def test_two_runs_undone_from_the_history(self):
        root = self.make_tree(["hist/IMG_1.jpg", "hist/IMG_2.jpg"])
        folder = os.path.join(root, "hist")
        app = self.session.start(PROGRAM, drives="C=/;T=" + root,
                                 home=self.session.user_dirs("history")[0])
        self.addCleanup(app.stop)
        app.window("Renomiq")
        box = app.find("Folder", role="text")
        app.set_text(box, "T:\\hist")
        app.focus(box)
        app.key("Return")
        app.wait(lambda: app.status("List count") == "0 Folders 2 Files", what="listing status")

        self.run_edit(app, "Replace", "Renomiq - Replace string", [("Old string:", "IMG"), ("New String:", "Pic")],
                      folder, ["Pic_1.jpg", "Pic_2.jpg"])
        app.wait(lambda: app.status("Last operation") == "2 renamed successfully, 0 failed.", what="the first result")
        self.run_edit(app, "Insert", "Renomiq - Insert string", [("HEAD string", "x_")], folder,
                      ["x_Pic_1.jpg", "x_Pic_2.jpg"], ticks=["HEAD"])
        table = app.find("File list", role="table")
        app.wait(lambda: app.table_rows(table) == ["x_Pic_1.jpg", "x_Pic_2.jpg"], what="the listing after the runs")

        # Up from no item: "Rename in another session", then "Undo history"
        # ("Add More" between them is disabled for a folder and skipped).
        app.click_row(table, 0)
        app.wait_equal(lambda: table.queryTable().nSelectedRows, 1, what="one selected row")
        app.popup_menu(lambda: table.queryTable().getAccessibleAt(0, 0), ["Up", "Up", "Return"])
        history = app.window("Undo history")
        operations = app.find("Kept operations", within=history)
        undo = app.find("Undo", role="push button", within=history)
        self.assertTrue(app.find("Close", role="push button", within=history))

        def rows():
            t = operations.queryTable()
            return [[t.getAccessibleAt(r, c).name for c in (1, 2, 3)] for r in range(t.nRows)]
        app.wait(lambda: rows() == [["Insert", "2 items", "T:\\hist\\"], ["Replace", "2 items", "T:\\hist\\"]],
                 what="the two kept operations")
        self.session.screenshot("undo_history_e2e")

        for after, left in ((["Pic_1.jpg", "Pic_2.jpg"], 1), (["IMG_1.jpg", "IMG_2.jpg"], 0)):
            app.wait(lambda: app.is_enabled(undo), what="Undo enabled")
            app.click(undo)
            question = app.window("Undo Confirmation")
            app.click(app.find("Yes", role="push button", within=question))
            app.wait(lambda: sorted(os.listdir(folder)) == after, what="the undo to %r" % after)
            app.wait(lambda: len(rows()) == left, what="%d kept operations" % left)
        app.wait(lambda: app.status("Last operation") == "Undo done.", what="Undo done.")
        app.wait(lambda: not app.is_enabled(undo), what="nothing left to undo")
        self.assertEqual(os.listdir(os.path.join(app.data_folder)).count("rollback.rbk"), 0)

        app.click(app.find("Close", role="push button", within=history))
        app.wait(lambda: "Undo history" not in app.windows(), what="the history to close")
        app.click(app.find("Exit", role="push button"))
        self.assertEqual(app.exited(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
