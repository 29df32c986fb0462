# A GTK text field (which takes part in AT-SPI) in a window titled "entry".
#   gtk_entry.py [TEXT]            TEXT, its second word selected
#   gtk_entry.py --late DELAY OUT  Ctrl+V fetches the clipboard DELAY ms late
#   gtk_entry.py --two OUT         two fields; OUT holds their texts and which
#       has the focus ("first" or "second"), a line each
#   gtk_entry.py --password OUT    as --two, side by side, the first a password
#       field (its text hidden, which AT-SPI reports as a "password text")
#   gtk_entry.py --stale OUT       a paste goes by the formats read at an earlier
#       paste until the wall clock's second is two on; HTML where offered, else
#       plain text; each paste's flavour is added as a line to OUT.flavours
# With OUT, the field's text goes to OUT after every change.
import os
import re
import sys
import time

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402

mode = sys.argv[1] if len(sys.argv) > 1 else "hello quillet world"
out = sys.argv[-1]
clipboard = Gtk.Clipboard.get(Gdk.SELECTION_CLIPBOARD)
known = {"targets": None, "second": 0}

window = Gtk.Window(title="entry")
window.move(150, 150)
window.set_default_size(400, 60)
entry = Gtk.Entry()
window.add(entry)


def save(*_):
    with open(out + ".part", "w", encoding="utf-8") as f:
        f.write(entry.get_text())
    os.replace(out + ".part", out)


def insert(field, text, position):
    field.insert_text(text, position)
    field.set_position(position + len(text))


def paste_late(field):
    field.stop_emission_by_name("paste-clipboard")
    position = field.get_position()

    def received(_clipboard, text, _data):
        if text:
            insert(field, text, position)

    def fetch():
        clipboard.request_text(received, None)
        return False

    GLib.timeout_add(int(sys.argv[2]), fetch)


def paste_by_known_list(field):
    field.stop_emission_by_name("paste-clipboard")
    if known["targets"] is None or int(time.time()) - known["second"] >= 2:
        ok, atoms = clipboard.wait_for_targets()
        known["targets"] = [a.name() for a in atoms] if ok else []
        known["second"] = int(time.time())
    if "text/html" in known["targets"]:
        data = clipboard.wait_for_contents(Gdk.Atom.intern("text/html", False))
        page = (data.get_data() if data else b"").decode("utf-8", "replace")
        body = re.sub(r"(?s).*<body[^>]*>|</body>.*", "", page)
        text, flavour = " ".join(re.sub(r"<[^>]*>", "", body).split()), "html"
    else:
        text, flavour = clipboard.wait_for_text() or "", "text"
    with open(out + ".flavours", "a", encoding="utf-8") as f:
        f.write(flavour + "\n")
    field.delete_selection()
    insert(field, text, field.get_position())


if mode in ("--two", "--password"):
    second = Gtk.Entry()
    window.remove(entry)
    if mode == "--password":
        entry.set_visibility(False)
        entry.set_input_purpose(Gtk.InputPurpose.PASSWORD)
        box = Gtk.Box(orientation=Gtk.Orientation.HORIZONTAL)
    else:
        box = Gtk.Box(orientation=Gtk.Orientation.VERTICAL)
    box.pack_start(entry, False, False, 0)
    box.pack_start(second, False, False, 0)
    window.add(box)

    def save_both(*_):
        focus = "first" if entry.has_focus() else "second" if second.has_focus() else "none"
        with open(out + ".part", "w", encoding="utf-8") as f:
            f.write("\n".join([entry.get_text(), second.get_text(), focus]))
        os.replace(out + ".part", out)

    for field in (entry, second):
        field.connect("changed", save_both)
        field.connect("notify::has-focus", save_both)
    save_both()
elif mode in ("--late", "--stale"):
    entry.connect("changed", save)
    entry.connect("paste-clipboard", paste_late if mode == "--late" else paste_by_known_list)
    save()
else:
    entry.set_text(mode)
window.connect("destroy", Gtk.main_quit)
window.show_all()
entry.grab_focus()
if not mode.startswith("--"):
    entry.select_region(6, 13)
Gtk.main()
