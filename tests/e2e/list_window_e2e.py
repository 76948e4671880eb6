"""The list window as a user drives it: folder box, file list, status bar,
rename dialog, undo."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import renomiq_e2e as e2e  # noqa: E402

PROGRAM = e2e.PROGRAM


class ListWindowTest(e2e.SessionTestCase):
    def start(self, *args, **kw):
        kw.setdefault("home", self.session.user_dirs(self.id().rsplit(".", 1)[-1])[0])
        app = self.session.start(PROGRAM, *args, **kw)
        self.addCleanup(app.stop)
        return app

    def test_folder_listing_rename_and_undo(self):
        root = self.make_tree(["trip/IMG_2.jpg", "trip/IMG_1.jpg", "trip/b.txt", "trip/sub/"])
        app = self.start(drives="C=/;T=" + root)
        app.window("Renomiq")
        box = app.find("Folder", role="text")
        app.set_text(box, "T:\\trip")
        app.focus(box)
        app.key("Return")
        app.wait(lambda: app.status("List count") == "1 Folders 3 Files", what="listing status")
        table = app.find("File list", role="table")
        self.assertEqual(app.table_rows(table), ["sub", "b.txt", "IMG_1.jpg", "IMG_2.jpg"])
        self.assertEqual(app.text_of(box), "T:\\trip\\")
        app.wait(lambda: "Renomiq - rename folder's files" in app.x_titles(), what="the caption")

        # F2 on one row opens the rename dialog.
        app.click_row(table, 1)
        app.key("F2")
        dialog = app.window("Rename a file")
        name = app.find("New name", role="text", within=dialog)
        self.assertEqual(app.text_of(name), "b")
        self.assertEqual(app.text_of(app.find("Extension part:", role="text", within=dialog)), ".txt")
        app.set_text(name, "notes")
        app.click(app.find("OK", role="push button", within=dialog))
        app.wait(lambda: os.path.exists(os.path.join(root, "trip", "notes.txt")), what="the rename")
        app.wait(lambda: app.table_rows(table)[1] == "notes.txt", what="the renamed row")

        # Undo reverses exactly that rename.
        undo = app.find("Undo", role="push button")
        app.wait(lambda: app.is_enabled(undo), what="Undo enabled")
        app.click(undo)
        question = app.window("Undo Confirmation")
        app.click(app.find("Yes", role="push button", within=question))
        app.wait(lambda: os.path.exists(os.path.join(root, "trip", "b.txt")), what="the undo")
        app.wait(lambda: app.status("Last operation") == "Undo done.", what="Undo done.")
        self.assertFalse(os.path.exists(os.path.join(root, "trip", "notes.txt")))

        app.click(app.find("Exit", role="push button"))
        self.assertEqual(app.exited(), 0)

    def test_an_option_reaches_the_registry_file_on_ok_only(self):
        app = self.start()
        app.window("Renomiq")
        app.click(app.find("Options", role="push button"))
        dialog = app.window("Options")
        sound = app.find("Play the ending sound when end rename", role="check box", within=dialog)
        self.assertTrue(app.is_checked(sound))
        app.click(sound)
        app.wait(lambda: not app.is_checked(sound), what="the box unticked")
        app.click(app.find("Ok", role="push button", within=dialog))
        app.wait(lambda: os.path.exists(app.registry_file), what="the registry file")
        try:
            app.wait(lambda: '"Endsound"=dword:00000000' in open(app.registry_file).read(), what="Endsound = 0")
        except AssertionError:
            print(open(app.registry_file).read(), app.windows(), app.x_titles())
            raise
        app.click(app.find("Exit", role="push button"))
        self.assertEqual(app.exited(), 0)

    def test_savesomes_with_a_hand_off_file(self):
        root = self.make_tree(["h/one.txt", "h/two.txt"])
        home = self.session.user_dirs("handoff")[0]
        data = os.path.join(home, ".local", "share", "Corvane", "Renomiq")
        os.makedirs(data, exist_ok=True)
        with open(os.path.join(data, "fn000.tmp"), "w") as f:
            f.write("T:\\h\\one.txt\r\nT:\\h\\two.txt\r\n")
        app = self.start(args=["Savesomes"], drives="C=/;T=" + root, home=home)
        table = app.find("File list", role="table")
        app.wait(lambda: app.table_rows(table) == ["T:\\h\\one.txt", "T:\\h\\two.txt"], what="the hand-off rows")
        self.assertFalse(os.path.exists(os.path.join(data, "fn000.tmp")))
        app.window("Select file to save filenames")  # the export's save dialog, at once
        app.stop()

    def test_savealls_on_an_empty_folder_ends_the_program(self):
        root = self.make_tree(["empty/"])
        home = self.session.user_dirs("empty")[0]
        data = os.path.join(home, ".local", "share", "Corvane", "Renomiq")
        os.makedirs(data, exist_ok=True)
        with open(os.path.join(data, "fn000.tmp"), "w") as f:
            f.write("T:\\empty\r\n")
        app = self.start(args=["Savealls"], drives="C=/;T=" + root, home=home)
        box = app.find("There is no file in this folder.", role="label")
        top = box
        while top.parent.getRoleName() != "application":
            top = top.parent
        app.click(app.find("OK", role="push button", within=top))
        self.assertEqual(app.exited(), 0)
        self.assertEqual(app.x_titles(), [])

    def test_rename_in_another_session_starts_a_second_instance(self):
        root = self.make_tree(["s/a.txt", "s/b.txt", "s/c.txt"])
        app = self.start(drives="C=/;T=" + root)
        app.window("Renomiq")
        box = app.find("Folder", role="text")
        app.set_text(box, "T:\\s")
        app.focus(box)
        app.key("Return")
        app.wait(lambda: app.status("List count") == "0 Folders 3 Files", what="the listing")
        table = app.find("File list", role="table")
        app.click_row(table, 2)
        # The count of selected rows reaches the bus a moment after the row's state.
        app.wait_equal(lambda: table.queryTable().nSelectedRows, 1, what="one selected row")
        # Up from no item reaches the last one, "Rename in another session";
        # Right opens it; Up again reaches its last item, "Save".
        app.popup_menu(lambda: table.queryTable().getAccessibleAt(2, 0), ["Up", "Right", "Up", "Return"])
        other = app.other_instance()
        self.assertEqual(other.args, ["Savesomes"])
        other_table = other.find("File list", role="table")
        other.wait(lambda: other.table_rows(other_table) == ["T:\\s\\c.txt"], what="the sent row")
        other.window("Select file to save filenames")
        self.assertFalse(os.path.exists(os.path.join(app.data_folder, "fn000.tmp")))
        # Folder mode: the row stays in the sender.
        self.assertEqual(app.table_rows(table), ["a.txt", "b.txt", "c.txt"])
        other.stop()
        app.stop()


if __name__ == "__main__":
    unittest.main(verbosity=2)
