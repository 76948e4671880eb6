"""The windows as people work them, under a window manager: a part of the
sample marked with the pointer and then the buttons clicked, the sub-mode
radio buttons chosen through their accessibility action, numbers over a box's
limit typed into the options, Tab through every window and out of the
preview's table."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import renomiq_e2e as e2e  # noqa: E402

PROGRAM = e2e.PROGRAM

# The roles of a top-level window that a screen reader announces as one.
WINDOW_ROLES = ("frame", "dialog", "window", "alert")


class WindowTest(e2e.SessionTestCase):
    def name(self):
        return self.id().rsplit(".", 1)[-1]

    def make_tree(self, files):
        root = os.path.join(self.session.tmp, self.name())
        for f in files:
            path = os.path.join(root, f)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            open(path, "w").close()
        return root

    def start(self, **kw):
        kw.setdefault("home", self.session.user_dirs(self.name())[0])
        app = self.session.start(PROGRAM, **kw)
        self.addCleanup(app.stop)
        return app

    def open_folder(self, root, folder, listed, **kw):
        app = self.start(drives="C=/;T=" + root, **kw)
        app.window("Renomiq")
        box = app.find("Folder", role="text")
        app.set_text(box, "T:\\" + folder)
        app.focus(box)
        app.key("Return")
        app.wait(lambda: app.status("List count") == listed, what="listing status")
        return app

    def open_editor(self, app, button, caption, first_box=None):
        app.activate("Renomiq - rename folder's files")
        app.mouse_click(app.find(button, role="push button"))
        editor = app.window(caption)
        if first_box:
            # The window puts the focus into its first box a moment after it shows.
            app.wait_focus(app.find(first_box, role="text", within=editor))
        return editor

    def back_to_list(self, app, editor):
        app.click(app.find("Select", role="push button", within=editor))
        app.wait(lambda: editor.name not in app.windows(), what="the editor to close")

    def showing(self, app, editor, name, role=None):
        return bool(app.find_all(name, role, within=editor))

    # --- a part marked with the pointer -----------------------------------

    def test_a_part_marked_with_the_pointer_survives_preview_and_ok(self):
        root = self.make_tree(["m/abWWWcd1.txt", "m/abWWWcd2.txt"])
        m = os.path.join(root, "m")
        app = self.open_folder(root, "m", "0 Folders 2 Files")
        editor = self.open_editor(app, "Remove", "Renomiq - Remove string", "Remove String 1:")
        app.mouse_click(app.find("Remove anything", role="radio button", within=editor))
        mouse = app.find("Remove the part selected by mouse", role="radio button", within=editor)
        app.wait(lambda: app.is_checked(mouse), what="the part selected by mouse chosen")

        sample = app.find("One old filename", within=editor)
        self.assertEqual(app.text_of(sample), "abWWWcd1")
        (x1, y1, _, h1), (x2, _, w2, _) = app.character_box(sample, 2), app.character_box(sample, 4)
        app.drag((x1 + 1, y1 + h1 // 2), (x2 + w2 - 1, y1 + h1 // 2))
        text = sample.queryText()
        app.wait_equal(lambda: [tuple(text.getSelection(i)) for i in range(text.getNSelections())], [(2, 5)],
                       what="the part marked in the sample")

        # The pointer moves the focus to "Preview": the part stays marked.
        app.mouse_click(app.find("Preview", role="push button", within=editor))
        preview = app.window("Preview - Remove string")
        table = app.find("Preview list", role="table", within=preview)
        app.wait(lambda: table.queryTable().nRows == 2, what="two preview rows")
        t = table.queryTable()
        self.assertEqual([(t.getAccessibleAt(r, 0).name, t.getAccessibleAt(r, 1).name) for r in range(2)],
                         [("abWWWcd1.txt", "abcd1.txt"), ("abWWWcd2.txt", "abcd2.txt")])
        app.wait_equal(lambda: [tuple(text.getSelection(i)) for i in range(text.getNSelections())], [(2, 5)],
                       what="the part marked while the preview shows")
        app.mouse_click(app.find("Close", role="push button", within=preview))
        app.wait(lambda: "Preview - Remove string" not in app.windows(), what="the preview to close")
        self.assertEqual(sorted(os.listdir(m)), ["abWWWcd1.txt", "abWWWcd2.txt"])
        app.wait_equal(lambda: [tuple(text.getSelection(i)) for i in range(text.getNSelections())], [(2, 5)],
                       what="the part marked after the preview closed")

        app.mouse_click(app.find("OK", role="push button", within=editor))
        app.wait(lambda: sorted(os.listdir(m)) == ["abcd1.txt", "abcd2.txt"], what="the rename")
        app.wait(lambda: app.status("Last operation") == "2 renamed successfully, 0 failed.", what="the result")

    # --- sub-modes chosen through the accessibility action ----------------

    # Per editor: (radio button, controls then showing, controls then hidden).
    SUB_MODES = [
        ("Remove", "Renomiq - Remove string", [
            ("Remove anything", ["Remove the part selected by mouse"], ["Remove String 1:"]),
            ("Remove the part between two strings", ["Left:", "Right:"], ["From Head"]),
            ("Remove the part selected by mouse", ["From Head"], ["Left:"]),
            ("Clean symbols", ["Replace the erased symbols with space"], ["Remove the part selected by mouse"]),
            ("Keep something", ["KEEP the part selected by mouse"], ["Replace the erased symbols with space"]),
            ("KEEP strings(remove others)", ["String 1:", "String 2:"], ["From Head"]),
            ("KEEP the part selected by mouse", ["From Head"], ["String 1:"]),
            ("Remove strings", ["Remove String 1:", "Clear all"], ["KEEP the part selected by mouse"]),
        ]),
        ("Replace", "Renomiq - Replace string", [
            ("Replace length selected by mouse", ["From Head", "New String:"], ["Old string:"]),
            ("Replace string:", ["Old string:", "Case sensitive"], ["From Head"]),
        ]),
        ("Insert", "Renomiq - Insert string", [
            ("Insert to string", ["The existing string:", "String to insert:"], ["HEAD"]),
            ("Insert to position", ["HEAD", "END", "CURSOR"], ["The existing string:"]),
        ]),
        ("Change", "Renomiq - Change to new name", [
            ("Convert full name case to:", ["Lower case", "Capitalize first letter"], ["New name:"]),
            ("UPPER case", ["Include extension part"], ["Capitalize first letter"]),
            ("Lower case", ["Capitalize first letter"], []),
            ("Change full name to new:", ["New name:"], ["Lower case"]),
        ]),
        ("Extension", "Renomiq - Edit Extention part", [
            ("Convert extention case", ["Convert extention case to"], ["New extention part :"]),
            ("Change extention part", ["New extention part :"], ["Convert extention case to"]),
        ]),
        ("Save", "Renomiq - Save filenames", [
            ("Only subfolders name", [], ["File types", "File date time", "Include webpage folder"]),
            ("All filenames in subfolders", ["File types", "File date time", "Include webpage folder"], []),
            ("Special types", ["Music", "Other"], []),
            ("All  types", [], ["Music", "Other"]),
            ("Subfolders and filenames", ["File types", "File date time"], ["Include webpage folder"]),
        ]),
    ]

    def test_every_sub_mode_radio_chosen_through_its_accessibility_action(self):
        root = self.make_tree(["s/Beach.jpg", "s/cliffs.jpg"])
        app = self.open_folder(root, "s", "0 Folders 2 Files")
        for button, caption, steps in self.SUB_MODES:
            editor = self.open_editor(app, button, caption)
            for radio_name, shown, hidden in steps:
                radio = app.find(radio_name, role="radio button", within=editor)
                app.do_action(radio, "Toggle")
                what = "%s: after %r" % (caption, radio_name)
                app.wait(lambda: app.is_checked(radio), what=what + " it is checked")
                for control in shown:
                    app.wait(lambda: self.showing(app, editor, control), what="%s %r shows" % (what, control))
                for control in hidden:
                    app.wait(lambda: not self.showing(app, editor, control), what="%s %r hides" % (what, control))
            self.back_to_list(app, editor)

    # --- numbers over a box's limit ---------------------------------------

    def type_over_limit(self, app, dialog, box_name, typed, limit):
        box = app.find(box_name, role="spin button", within=dialog)
        app.mouse_click(box)
        app.wait_focus(box)
        app.key("ctrl+a")
        app.type(typed)
        message = app.window("Information")
        self.assertIsNotNone(app.find("Should not more than %d." % limit, within=message))
        app.click(app.find("OK", role="push button", within=message))
        app.wait(lambda: "Information" not in app.windows(), what="the message to close")
        app.wait_equal(lambda: app.text_of(box), str(limit), what="the text of %r" % box_name)

    def test_values_over_the_limits_become_the_limits_that_ok_stores(self):
        app = self.start()
        app.window("Renomiq")
        app.mouse_click(app.find("Options", role="push button"))
        dialog = app.window("Options")
        app.click(app.find("History list", role="page tab", within=dialog))
        self.type_over_limit(app, dialog, "Used folder list Max Number of list:", "45", 30)
        self.type_over_limit(app, dialog, "New name list Max Number of list:", "150", 100)
        app.click(app.find("Preview", role="page tab", within=dialog))
        self.type_over_limit(app, dialog, "Preview files number: ", "2000", 1000)
        app.mouse_click(app.find("Ok", role="push button", within=dialog))
        app.wait(lambda: "Options" not in app.windows(), what="the dialog to close")
        app.wait(lambda: os.path.exists(app.registry_file), what="the registry file")
        stored = open(app.registry_file).read()
        for entry in ('"Foldernum"=dword:0000001e', '"Listnum"=dword:00000064', '"Prenum"=dword:000003e8'):
            self.assertIn(entry, stored)

    # --- Tab through the windows ------------------------------------------

    def announced_as_window(self, window):
        # Reported, and the walk through the windows goes on.
        with self.subTest(window=window.name):
            self.assertIn(window.getRoleName(), WINDOW_ROLES, "%r is announced as a %s"
                          % (window.name, window.getRoleName()))

    def describe(self, app, node):
        try:
            try:
                x, y, _, _ = app.extents(node)
            except NotImplementedError:
                return "%s %r" % (node.getRoleName(), node.name)
            return "%s %r at %d,%d" % (node.getRoleName(), node.name, x, y)
        except Exception as gone:  # the object went while it was read
            return "(gone: %s)" % gone

    @staticmethod
    def named(node):
        try:
            return bool(node.name.strip())
        except Exception:  # gone meanwhile
            return False

    def tab_round(self, app, window, presses=60):
        """Presses Tab until the focus comes back to where it started;
        returns the controls it went through, as described."""
        start = app.wait(lambda: app.focused(window), what="a focused control in %r" % window.name)
        seen = [self.describe(app, start)]
        for _ in range(presses):
            before = seen[-1]
            app.key("Tab")
            # A control the focus only passes through on its way (a cell the
            # table makes anew under load) is waited past; one that keeps the
            # focus without a name fails the wait.
            now = app.wait(lambda: (lambda f: f is not None and self.describe(app, f) != before
                                    and self.named(f) and f)(app.focused(window)),
                           what="Tab to move on from %s in %r to a named control (went %s)"
                           % (before, window.name, seen))
            here = self.describe(app, now)
            if here == seen[0]:
                return seen
            self.assertNotIn(here, seen, "Tab went round without its start in %r: %s" % (window.name, seen))
            seen.append(here)
        self.fail("Tab did not come round in %r: %s" % (window.name, seen))

    def test_tab_goes_round_every_window_and_out_of_the_preview_table(self):
        root = self.make_tree(["t/a1.txt", "t/a2.txt"])
        app = self.open_folder(root, "t", "0 Folders 2 Files")
        self.announced_as_window(app.window("Renomiq"))
        self.tab_round(app, app.window("Renomiq"))

        editor = self.open_editor(app, "Replace", "Renomiq - Replace string", "Old string:")
        self.announced_as_window(editor)
        went = self.tab_round(app, editor)
        for control in ("Old string:", "New String:", "OK", "Preview"):
            self.assertTrue(any(repr(control) in d for d in went), (control, went))
        app.set_text(app.find("Old string:", role="text", within=editor), "a")
        app.set_text(app.find("New String:", role="text", within=editor), "b")

        # The special string dialog, opened with the keyboard's Space on its button.
        special = app.find("New String Special", role="push button", within=editor)
        app.focus(special)
        app.key("space")
        dialog = app.window("Renomiq - Special string")
        self.announced_as_window(dialog)
        self.tab_round(app, dialog)
        app.key("Escape")
        app.wait(lambda: "Renomiq - Special string" not in app.windows(), what="the special string dialog to close")

        app.mouse_click(app.find("Preview", role="push button", within=editor))
        preview = app.window("Preview - Replace string")
        self.announced_as_window(preview)
        table = app.find("Preview list", role="table", within=preview)
        app.wait(lambda: table.queryTable().nRows == 2, what="two preview rows")
        app.click_row(table, 0)
        app.wait(lambda: app.focused(preview) is not None and app.focused(preview).getRoleName() == "table",
                 what="the focus in the preview table")
        went = self.tab_round(app, preview)
        self.assertIn("table", went[0])
        self.assertGreater(len(went), 1)
        app.mouse_click(app.find("Close", role="push button", within=preview))
        app.wait(lambda: "Preview - Replace string" not in app.windows(), what="the preview to close")

        app.mouse_click(app.find("Options", role="push button", within=editor))
        options = app.window("Options")
        self.announced_as_window(options)
        self.tab_round(app, options)
        app.key("Escape")
        app.wait(lambda: "Options" not in app.windows(), what="the options to close")


if __name__ == "__main__":
    unittest.main(verbosity=2)
