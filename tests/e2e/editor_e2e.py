"""The editor window and its dialogs as a user drives them through the list
window: replace with a preview and a rename from it, undo; an insert with a
special string; a long run under the progress dialog, cancelled, then undone."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import renomiq_e2e as e2e  # noqa: E402

PROGRAM = e2e.PROGRAM
TESTS = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


class EditorTest(e2e.SessionTestCase):
    def open_folder(self, root, folder, listed, timeout=e2e.DEFAULT_TIMEOUT):
        app = self.session.start(PROGRAM, drives="C=/;T=" + root)
        app.window("Renomiq")
        box = app.find("Folder", role="text")
        app.set_text(box, "T:\\" + folder)
        app.focus(box)
        app.key("Return")
        app.wait(lambda: app.status("List count") == listed, timeout=timeout, what="listing status")
        return app

    def column(self, table, column):
        t = table.queryTable()
        return [t.getAccessibleAt(r, column).name for r in range(t.nRows)]

    def test_replace_with_preview_rename_and_undo(self):
        root = self.make_tree(["trip/IMG_1.jpg", "trip/IMG_2.jpg"])
        trip = os.path.join(root, "trip")
        app = self.open_folder(root, "trip", "0 Folders 2 Files")
        app.click(app.find("Replace", role="push button"))
        editor = app.window("Renomiq - Replace string")
        # The window puts the focus into its first box a moment after it shows:
        # what is typed before that would be selected and typed over.
        app.wait_focus(app.find("Old string:", role="text", within=editor))
        self.assertIn(app.text_of(app.find("One old filename", within=editor)), ("IMG_1", "IMG_2"))
        app.set_text(app.find("Old string:", role="text", within=editor), "IMG")
        app.set_text(app.find("New String:", role="text", within=editor), "Pic")

        app.click(app.find("Preview", role="push button", within=editor))
        preview = app.window("Preview - Replace string")
        table = app.find("Preview list", role="table", within=preview)
        app.wait(lambda: table.queryTable().nRows == 2, what="two preview rows")
        self.assertEqual(sorted(zip(self.column(table, 0), self.column(table, 1))),
                         [("IMG_1.jpg", "Pic_1.jpg"), ("IMG_2.jpg", "Pic_2.jpg")])
        self.assertEqual(sorted(os.listdir(trip)), ["IMG_1.jpg", "IMG_2.jpg"])

        app.click(app.find("Rename", role="push button", within=preview))
        app.wait(lambda: sorted(os.listdir(trip)) == ["Pic_1.jpg", "Pic_2.jpg"], what="the rename")
        app.wait(lambda: app.status("Last operation") == "2 renamed successfully, 0 failed.", what="the result")
        self.assertNotIn("Renomiq - Replace string", app.windows())

        undo = app.find("Undo", role="push button")
        app.wait(lambda: app.is_enabled(undo), what="Undo enabled")
        app.click(undo)
        question = app.window("Undo Confirmation")
        app.click(app.find("Yes", role="push button", within=question))
        app.wait(lambda: sorted(os.listdir(trip)) == ["IMG_1.jpg", "IMG_2.jpg"], what="the undo")
        app.wait(lambda: app.status("Last operation") == "Undo done.", what="Undo done.")
        app.click(app.find("Exit", role="push button"))
        self.assertEqual(app.exited(), 0)

    def test_insert_a_running_number_from_the_string_token_dialog(self):
        root = self.make_tree(["ins/a.txt", "ins/b.txt"])
        folder = os.path.join(root, "ins")
        app = self.open_folder(root, "ins", "0 Folders 2 Files")
        app.click(app.find("Insert", role="push button"))
        editor = app.window("Renomiq - Insert string")
        app.wait_focus(app.find("HEAD string", role="text", within=editor))
        app.click(app.find("HEAD", role="check box", within=editor))
        head = app.find("HEAD string", role="text", within=editor)
        app.set_text(head, "_")
        app.focus(head)
        app.key("Home")
        # The key goes through X, the click below through the accessibility
        # bus, which can overtake it: the cursor is at the head first.
        app.wait(lambda: head.queryText().caretOffset == 0 and head.queryText().getNSelections() == 0,
                 what="the cursor at the head")
        app.click(app.find("HEAD Special", role="push button", within=editor))
        dialog = app.window("Renomiq - Special string")
        self.assertTrue(app.is_checked(app.find("Ordered  numbers:", role="radio button", within=dialog)))
        app.click(app.find("Ok", role="push button", within=dialog))
        app.wait_equal(lambda: app.text_of(head), "$$$_", what="the HEAD box after the inserted $$$")

        app.click(app.find("OK", role="push button", within=editor))
        app.wait(lambda: len([n for n in os.listdir(folder) if n.startswith(("001_", "002_"))]) == 2,
                 what="the numbered names")
        self.assertEqual(sorted(n[4:] for n in os.listdir(folder)), ["a.txt", "b.txt"])
        app.wait(lambda: app.status("Last operation") == "2 renamed successfully, 0 failed.", what="the result")
        app.click(app.find("Exit", role="push button"))
        self.assertEqual(app.exited(), 0)

    def test_photos_renamed_by_date_taken_through_the_special_string_dialog(self):
        # Photos whose EXIF the exiv2 command wrote, each with its own time of
        # taking; the file names follow neither the times nor their order.
        with open(os.path.join(TESTS, "fuzz", "media", "exif.jpg"), "rb") as f:
            template = f.read()
        taken = b"2024:07:14 09:30:12"
        at = template.index(taken)
        root = self.make_tree([])
        photos = os.path.join(root, "photos")
        os.makedirs(photos)
        for name, when in (("IMG_0003.jpg", b"2024:07:14 08:05:00"), ("IMG_0001.jpg", b"2024:07:15 21:00:59"),
                           ("DSC_0100.jpg", b"2023:12:31 23:59:59")):
            with open(os.path.join(photos, name), "wb") as f:
                f.write(template[:at] + when + template[at + len(taken):])
        app = self.open_folder(root, "photos", "0 Folders 3 Files")
        app.click(app.find("Change", role="push button"))
        editor = app.window("Renomiq - Change to new name")
        new_name = app.find("New name:", role="text", within=editor)
        app.wait_focus(new_name)
        app.set_text(new_name, "")
        app.click(app.find("Special string", role="push button", within=editor))
        dialog = app.window("Renomiq - Special string")
        app.click(app.find("Metadata:", role="radio button", within=dialog))
        self.assertEqual(app.text_of(app.find("Format:", role="text", within=dialog)), "yyyy-MM-dd HH.mm.ss")
        app.click(app.find("Ok", role="push button", within=dialog))
        app.wait_equal(lambda: app.text_of(new_name), "{taken;yyyy-MM-dd HH.mm.ss}", what="the inserted token")

        app.click(app.find("OK", role="push button", within=editor))
        app.wait(lambda: sorted(os.listdir(photos)) == ["2023-12-31 23.59.59.jpg", "2024-07-14 08.05.00.jpg",
                                                        "2024-07-15 21.00.59.jpg"], what="the names by date taken")
        app.wait(lambda: app.status("Last operation") == "3 renamed successfully, 0 failed.", what="the result")
        app.click(app.find("Exit", role="push button"))
        self.assertEqual(app.exited(), 0)

    def test_a_long_run_cancelled_half_way_then_undone(self):
        # A few hundred chosen files, handed over as from the desktop's menu so
        # that they are worked in this order. The one in the middle would become
        # the reserved name "con": its refusal box holds the run there, under
        # the progress dialog, while Cancel is pressed.
        names = ["xa%03d.txt" % i for i in range(200)] + ["xcon.txt"] + ["xd%03d.txt" % i for i in range(200)]
        root = self.make_tree(["many/" + n for n in names])
        many = os.path.join(root, "many")
        home = self.session.user_dirs("long_run")[0]
        data = os.path.join(home, ".local", "share", "Corvane", "Renomiq")
        os.makedirs(data, exist_ok=True)
        with open(os.path.join(data, "fn000.tmp"), "w") as f:
            f.write("".join("T:\\many\\%s\r\n" % n for n in names))
        app = self.session.start(PROGRAM, args=["Removpart"], drives="C=/;T=" + root, home=home)
        editor = app.window("Renomiq - Remove string", timeout=30)
        self.assertEqual(app.status("Target description"), "total 401 file(s)")
        app.wait_focus(app.find("Remove String 1:", role="text", within=editor))
        app.set_text(app.find("Remove String 1:", role="text", within=editor), "x")
        app.click(app.find("OK", role="push button", within=editor))

        refusal = app.window("Information", timeout=30)
        progress = app.window("Progress")
        app.click(app.find("Cancel", role="push button", within=progress))
        question = app.window("Confirmation")
        self.assertIsNotNone(app.find("Will you cancel this operation?", within=question))
        app.click(app.find("Yes", role="push button", within=question))
        app.wait(lambda: "Confirmation" not in app.windows(), what="the question to close")
        app.click(app.find("OK", role="push button", within=refusal))
        app.wait(lambda: "Progress" not in app.windows(), timeout=30, what="the run to stop")
        app.wait(lambda: app.status("Last operation") == "200 renamed successfully, 1 failed.", timeout=30,
                 what="the result")
        self.assertEqual(sorted(os.listdir(many)),
                         sorted(["a%03d.txt" % i for i in range(200)] + ["xcon.txt"]
                                + ["xd%03d.txt" % i for i in range(200)]))

        # The undo of 400 lines runs under the progress dialog and restores all.
        undo = app.find("Undo", role="push button", timeout=30)
        app.wait(lambda: app.is_enabled(undo), timeout=30, what="Undo enabled")
        app.click(undo)
        question = app.window("Undo Confirmation", timeout=30)
        app.click(app.find("Yes", role="push button", within=question))
        app.wait(lambda: sorted(os.listdir(many)) == sorted(names), timeout=60, what="the undo")
        app.wait(lambda: app.status("Last operation") == "Undo done.", timeout=30, what="Undo done.")
        self.assertFalse(os.path.exists(os.path.join(data, "rollback.rbk")))
        app.click(app.find("Exit", role="push button"))
        self.assertEqual(app.exited(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
