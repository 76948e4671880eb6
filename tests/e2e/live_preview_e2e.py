"""The Replace panel's regular expressions and the editor's live preview as a
user drives them: "Regular expression" ticked through its accessibility
action, a pattern typed with the keyboard, the live rows following each key,
then OK renames what the rows showed."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import renomiq_e2e as e2e  # noqa: E402

PROGRAM = e2e.PROGRAM


class LivePreviewTest(e2e.SessionTestCase):
    def rows(self, table):
        t = table.queryTable()
        return [(t.getAccessibleAt(r, 0).name, t.getAccessibleAt(r, 1).name) for r in range(t.nRows)]

    def test_a_typed_pattern_changes_the_live_rows(self):
        root = self.make_tree(["trip/IMG_0042.jpg", "trip/IMG_0043.jpg", "trip/notes.txt"])
        trip = os.path.join(root, "trip")
        app = self.session.start(PROGRAM, drives="C=/;T=" + root)
        app.window("Renomiq")
        box = app.find("Folder", role="text")
        app.set_text(box, "T:\\trip")
        app.focus(box)
        app.key("Return")
        app.wait(lambda: app.status("List count") == "0 Folders 3 Files", what="listing status")
        app.click(app.find("Replace", role="push button"))
        editor = app.window("Renomiq - Replace string")
        old = app.find("Old string:", role="text", within=editor)
        app.wait_focus(old)

        live = app.find("Live preview", role="check box", within=editor)
        self.assertTrue(app.is_checked(live))
        table = app.find("Live preview rows", within=editor)
        app.wait(lambda: app.status("Live preview message") == "Please input the old part of file name",
                 what="the check's refusal shown inline")

        regex = app.find("Regular expression", role="check box", within=editor)
        app.do_action(regex, "Toggle")
        app.wait(lambda: app.is_checked(regex), what="Regular expression ticked")
        app.set_text(app.find("New String:", role="text", within=editor), "{1}_trip")
        app.focus(old)
        app.wait_focus(old)
        app.type("IMG_(\\d+)")
        app.wait(lambda: self.rows(table) == [("IMG_0042.jpg", "0042_trip.jpg"), ("IMG_0043.jpg", "0043_trip.jpg")],
                 what="the live rows of the pattern")
        # One more key: the rows follow it.
        app.type("3")
        app.wait(lambda: self.rows(table) == [("IMG_0043.jpg", "004_trip.jpg")],
                 what="the live rows after one more key")
        # A key that breaks the pattern: its error inline, no box, no rows.
        app.type("(")
        app.wait(lambda: "missing closing parenthesis" in (app.status("Live preview message") or "") and self.rows(table) == [],
                 what="the pattern's error inline")
        self.assertEqual(app.windows().count("Error"), 0)
        app.key("BackSpace")
        app.wait(lambda: self.rows(table) == [("IMG_0043.jpg", "004_trip.jpg")], what="the rows back")
        self.assertEqual(sorted(os.listdir(trip)), ["IMG_0042.jpg", "IMG_0043.jpg", "notes.txt"])

        app.click(app.find("OK", role="push button", within=editor))
        app.wait(lambda: sorted(os.listdir(trip)) == ["004_trip.jpg", "IMG_0042.jpg", "notes.txt"], what="the rename")
        app.wait(lambda: app.status("Last operation") == "1 renamed successfully, 0 failed.", what="the result")
        app.click(app.find("Exit", role="push button"))
        self.assertEqual(app.exited(), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
