"""Starts from the file managers' side: a keyword and a hand-off file, written
by hand or by the real renomiq-send with a large selection."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import renomiq_e2e as e2e  # noqa: E402

PROGRAM = e2e.PROGRAM
SENDER = os.environ.get("RENOMIQ_SEND", "renomiq-send")


class HandOffTest(e2e.SessionTestCase):
    def name(self):
        return self.id().rsplit(".", 1)[-1]

    def make_files(self, folder, names):
        root = os.path.join(self.session.tmp, self.name())
        os.makedirs(os.path.join(root, folder), exist_ok=True)
        for n in names:
            open(os.path.join(root, folder, n), "w").close()
        return root

    def test_change_with_three_files_then_the_list_window(self):
        root = self.make_files("h", ["holiday.jpg", "beach.jpg", "notes.txt"])
        home = self.session.user_dirs(self.name())[0]
        data = os.path.join(home, ".local", "share", "Corvane", "Renomiq")
        os.makedirs(data)
        with open(os.path.join(data, "fn000.tmp"), "w") as f:
            f.write("T:\\h\\holiday.jpg\r\nT:\\h\\beach.jpg\r\nT:\\h\\notes.txt\r\n")
        app = self.session.start(PROGRAM, args=["Changnew"], drives="C=/;T=" + root, home=home)
        self.addCleanup(app.stop)

        editor = app.window("Renomiq - Change to new name")
        app.find("Change full name to new:", role="radio button", within=editor)
        app.find("New name:", role="text", within=editor)
        self.assertEqual(app.text_of(app.find("One old filename", within=editor)), "holiday")
        self.assertFalse(os.path.exists(os.path.join(data, "fn000.tmp")))
        # The list window stays hidden while the editor is open.
        self.assertEqual(app.windows(), ["Renomiq - Change to new name"])

        # "Select" closes the editor and brings the list window back with the
        # hand-off files ("Exit" of a hand-off start ends the program instead).
        self.assertEqual(app.find("Exit", role="push button", within=editor).description, "Close the program")
        app.click(app.find("Select", role="push button", within=editor))
        table = app.find("File list", role="table")
        app.wait(lambda: app.table_rows(table) == ["T:\\h\\holiday.jpg", "T:\\h\\beach.jpg", "T:\\h\\notes.txt"],
                 what="the three files in the list window")
        self.assertNotIn("Renomiq - Change to new name", app.windows())
        app.wait(lambda: app.status("List count") == "3 Files", what="the status")

    def test_twenty_thousand_items_sent_by_renomiq_send(self):
        # Every tenth item comes as a file:// URI, as Dolphin sends its selections.
        names = [("IMG f%05d.txt" if i % 10 == 0 else "f%05d.txt") % i for i in range(20000)]
        root = self.make_files("many", names)
        home = self.session.user_dirs(self.name())[0]
        many = os.path.join(root, "many")
        items = ["file://" + many.replace(" ", "%20") + "/" + n.replace(" ", "%20") if n.startswith("IMG") else n
                 for n in names]
        # The sender takes the selection relative to the file manager's folder
        # and becomes the renomiq beside it, started with the keyword.
        app = self.session.start(SENDER, args=["Savesomes"] + items, drives="C=/;T=" + root, home=home, cwd=many)
        self.addCleanup(app.stop)
        app.window("Select file to save filenames", timeout=30)  # the export's save dialog, at once
        # Searched in the list window alone: the save dialog may show the folder of 20,000 files.
        root = app.root()
        list_window = app.wait(lambda: next((root.getChildAtIndex(i) for i in range(root.childCount)
                                             if root.getChildAtIndex(i).name.startswith("Renomiq")), None),
                               what="the list window")
        table = app.find("File list", role="table", within=list_window)
        app.wait(lambda: table.queryTable().nRows == 20000, timeout=20, what="20000 rows")
        t = table.queryTable()
        self.assertEqual([t.getAccessibleAt(r, 0).name for r in (0, 1, 10, 19999)],
                         ["T:\\many\\IMG f00000.txt", "T:\\many\\f00001.txt", "T:\\many\\IMG f00010.txt",
                          "T:\\many\\f19999.txt"])
        app.wait(lambda: app.status("List count") == "20000 Files", timeout=20, what="the status")
        self.assertFalse(os.path.exists(os.path.join(app.data_folder, "fn000.tmp")))

    def test_a_folder_to_save_sent_relative(self):
        root = self.make_files("music", ["a.mp3", "b.mp3"])
        home = self.session.user_dirs(self.name())[0]
        app = self.session.start(SENDER, args=["Savealls", "music"], drives="C=/;T=" + root, home=home, cwd=root)
        self.addCleanup(app.stop)
        editor = app.window("Renomiq - Save filenames")
        app.find("File size", role="check box", within=editor)
        self.assertTrue(any("T:\\music" in label.name for label in app.find_all(role="label", within=editor)),
                        [label.name for label in app.find_all(role="label", within=editor)])
        self.assertEqual(app.windows(), ["Renomiq - Save filenames"])
        self.assertFalse(os.path.exists(os.path.join(app.data_folder, "fn000.tmp")))

    def test_a_path_with_a_line_break_is_left_out(self):
        root = self.make_files("d", ["a", "b", "a\nb"])
        home = self.session.user_dirs(self.name())[0]
        d = os.path.join(root, "d")
        app = self.session.start(SENDER, args=["Removpart", os.path.join(d, "a\nb"), os.path.join(d, "b")],
                                 drives="C=/;T=" + root, home=home)
        self.addCleanup(app.stop)
        editor = app.window("Renomiq - Remove string")
        self.assertEqual(app.text_of(app.find("One old filename", within=editor)), "b")
        app.log.seek(0)
        self.assertIn("renomiq-send: left out %s (its path holds a line break)\n" % os.path.join(d, "a\nb"),
                      app.log.read())
        # "Exit" of a hand-off start ends the program.
        app.click(app.find("Exit", role="push button", within=editor))
        self.assertEqual(app.exited(), 0)

if __name__ == "__main__":
    unittest.main(verbosity=2)
