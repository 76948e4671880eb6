"""Starts as users with an 11 pt desktop font or a scale of 2 have them: every
window stays on the screen, with its controls inside it and apart. The screens
are saved under build/screenshots/ for a person to look at."""

import os
import re
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import renomiq_e2e as e2e  # noqa: E402

PROGRAM = e2e.PROGRAM

# Controls that take part in a window's layout (containers and their insides aside).
CONTROL_ROLES = ("push button", "check box", "radio button", "text", "combo box", "spin button", "label",
                 "table", "page tab list")


class LargerWindowsTest(e2e.SessionTestCase):
    """Starts as a user with an 11 pt desktop font or a scale of 2 has them;
    every window stays on the screen with its controls inside and apart."""

    screen = "2560x1600"

    def name(self):
        return self.id().rsplit(".", 1)[-1]

    def text_width(self, app, text):
        """How wide the text is drawn in the program's font: measured in the
        list window's folder box, whose text is put back."""
        box = app.find("Folder", role="text", within=app.window("Renomiq"))
        before = app.text_of(box)
        app.set_text(box, text)
        f = app.scale()
        width = box.queryText().getRangeExtents(0, len(text), app.pyatspi.DESKTOP_COORDS)[2] * f
        app.set_text(box, before)
        return round(width)

    def check_captions(self, app, window, label):
        """Every button's, check box's and radio button's caption fits on it."""
        for c in app.find_all(within=window):
            role = c.getRoleName()
            if role not in ("push button", "check box", "radio button") or not c.name.strip():
                continue
            _, _, w, h = app.extents(c)
            if w < 2 * h:
                continue  # a picture's button, named for the ear alone
            # The new-string boxes' buttons read "Special", named after their box.
            text = "Special" if c.name.endswith(" Special") else c.name.strip()
            # A check box's mark beside the caption is left out: a caption
            # cut that far is cut for sure.
            needed = self.text_width(app, text) + 2
            with self.subTest(window=window.name, control=text):
                self.assertGreaterEqual(w, needed, "%s: the caption of %s %r is cut (%d pixels wide, it needs %d)"
                                        % (label, role, text, w, needed))

    def settled_geometry(self, app, window):
        """The window's and its controls' extents, read until two readings in a
        row agree: a window still being laid out (the window manager resizing
        it on a loaded machine) is never measured half way."""
        def reading():
            controls = [c for c in app.find_all(within=window) if c.getRoleName() in CONTROL_ROLES
                        and not (c.getRoleName() == "label" and not c.name.strip())]
            return app.extents(window), [(c, tuple(app.extents(c))) for c in controls]

        last = [None]

        def same_twice():
            now = reading()
            key = (now[0], [e for _, e in now[1]])
            settled = key == last[0]
            last[0] = key
            return now if settled else None
        return e2e.wait_for(same_twice, what="%r to keep its layout" % window.name)

    def check_window(self, app, window, label):
        screen_w, screen_h = (int(v) for v in self.session.screen.split("x"))
        (wx, wy, ww, wh), measured = self.settled_geometry(app, window)
        self.assertTrue(0 <= wx and 0 <= wy and wx + ww <= screen_w and wy + wh <= screen_h,
                        "%s: %r at %d,%d %dx%d is not on the screen" % (label, window.name, wx, wy, ww, wh))
        boxes = []
        for c, (x, y, w, h) in measured:
            what = "%s: %s %r in %r" % (label, c.getRoleName(), c.name, window.name)
            self.assertTrue(w > 0 and h > 0, what + " has no size")
            self.assertTrue(wx <= x and wy <= y and x + w <= wx + ww and y + h <= wy + wh,
                            "%s at %d,%d %dx%d lies outside its window %d,%d %dx%d"
                            % (what, x, y, w, h, wx, wy, ww, wh))
            boxes.append((what, x, y, w, h, c))
        for i, (a, ax, ay, aw, ah, an) in enumerate(boxes):
            for b, bx, by, bw, bh, bn in boxes[i + 1:]:
                if _inside(an, bn) or _inside(bn, an):
                    continue  # a combined box's text, a tab list over its pages
                overlap = min(ax + aw, bx + bw) - max(ax, bx), min(ay + ah, by + bh) - max(ay, by)
                self.assertFalse(overlap[0] > 1 and overlap[1] > 1,
                                 "%s overlaps %s (%d,%d %dx%d and %d,%d %dx%d)"
                                 % (a, b, ax, ay, aw, ah, bx, by, bw, bh))

    def walk_the_windows(self, env, label):
        root = os.path.join(self.session.tmp, self.name())
        os.makedirs(os.path.join(root, "w"), exist_ok=True)
        for n in ("Beach.jpg", "cliffs.jpg"):
            open(os.path.join(root, "w", n), "w").close()
        home = self.session.user_dirs(self.name())[0]
        for name, content in env.pop("files", {}).items():
            path = os.path.join(home, name)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as f:
                f.write(content)
        app = self.session.start(PROGRAM, drives="C=/;T=" + root, home=home, env=env)
        self.addCleanup(app.stop)
        main = app.window("Renomiq")
        box = app.find("Folder", role="text")
        app.set_text(box, "T:\\w")
        app.focus(box)
        app.key("Return")
        app.wait(lambda: app.status("List count") == "0 Folders 2 Files", what="listing status")
        self.check_window(app, main, label)
        self.session.screenshot("e2e_%s_list_window" % label, [app.extents(main)])
        # Centred on the screen, the window manager's frame aside.
        screen_w, screen_h = (int(v) for v in self.session.screen.split("x"))
        x, y, w, h = app.extents(main)
        self.assertLessEqual(abs(x + w // 2 - screen_w // 2), 40, "%s: the list window at %d,%d %dx%d"
                             % (label, x, y, w, h))
        self.assertLessEqual(abs(y + h // 2 - screen_h // 2), 80, "%s: the list window at %d,%d %dx%d"
                             % (label, x, y, w, h))
        self.check_captions(app, main, label)
        for button, caption in (("Remove", "Renomiq - Remove string"), ("Insert", "Renomiq - Insert string"),
                                ("Change", "Renomiq - Change to new name")):
            app.activate("Renomiq - rename folder's files")
            app.mouse_click(app.find(button, role="push button"))
            editor = app.window(caption)
            self.check_window(app, editor, label)
            self.check_captions(app, editor, label)
            self.session.screenshot("e2e_%s_%s" % (label, re.sub(r"\W+", "_", caption.split(" - ")[1].lower())),
                                    [app.extents(editor)])
            app.click(app.find("Select", role="push button", within=editor))
            app.wait(lambda: caption not in app.windows(), what="the editor to close")
        app.activate("Renomiq - rename folder's files")
        app.mouse_click(app.find("Options", role="push button"))
        options = app.window("Options")
        self.check_window(app, options, label)
        self.check_captions(app, options, label)
        self.session.screenshot("e2e_%s_options" % label, [app.extents(options)])
        app.key("Escape")
        app.wait(lambda: "Options" not in app.windows(), what="the options to close")
        return app

    def test_an_11_pt_desktop_font(self):
        # The desktop's font as KDE's settings give it to every Qt program.
        app = self.walk_the_windows({
            "XDG_CURRENT_DESKTOP": "KDE", "KDE_SESSION_VERSION": "5", "KDE_FULL_SESSION": "true",
            "files": {".config/kdeglobals": "[General]\nfont=DejaVu Sans,11,-1,5,50,0,0,0,0,0\n"}},
            "11pt")
        box = app.find("Folder", role="text")
        self.assertGreaterEqual(app.character_box(box, 0)[3], 16, "the 11 pt font is not in use")

    def test_scale_2(self):
        app = self.walk_the_windows({"QT_SCALE_FACTOR": "2"}, "scale2")
        box = app.find("Folder", role="text")
        self.assertGreaterEqual(app.character_box(box, 0)[3], 24, "the scale of 2 is not in use")


def _inside(node, container):
    n = node.parent
    while n is not None:
        if n == container:
            return True
        n = n.parent
    return False


if __name__ == "__main__":
    unittest.main(verbosity=2)
