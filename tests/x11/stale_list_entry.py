# A text field that decides a paste from the list of formats it read at an
# earlier paste, as long as the wall clock's second differs from that read's
# by less than two; only then does it ask the owner again. It takes HTML when
# the list offers it, plain text otherwise. The field's text goes to OUT
# after every change, and each paste's flavour ("html" or "text") is added
# as a line to OUT.flavours.
#   stale_list_entry.py OUT
import os
import re
import sys
import time

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, Gtk  # noqa: E402

out = sys.argv[1]
clipboard = Gtk.Clipboard.get(Gdk.SELECTION_CLIPBOARD)
known = {"targets": None, "second": 0}

window = Gtk.Window(title="stale list")
window.set_wmclass("stalelist", "StaleList")
window.set_default_size(400, 60)
entry = Gtk.Entry()
window.add(entry)


def save(*_):
    with open(out + ".part", "w", encoding="utf-8") as f:
        f.write(entry.get_text())
    os.replace(out + ".part", out)


def paste(field):
    field.stop_emission_by_name("paste-clipboard")
    if known["targets"] is None or int(time.time()) - known["second"] >= 2:
        ok, atoms = clipboard.wait_for_targets()
        known["targets"] = [a.name() for a in atoms] if ok else []
        known["second"] = int(time.time())
    if "text/html" in known["targets"]:
        data = clipboard.wait_for_contents(Gdk.Atom.intern("text/html", False))
        raw = data.get_data() if data else b""
        page = raw.decode("utf-8", "replace")
        body = re.sub(r"(?s).*<body[^>]*>|</body>.*", "", page)
        text, flavour = " ".join(re.sub(r"<[^>]*>", "", body).split()), "html"
    else:
        text, flavour = clipboard.wait_for_text() or "", "text"
    with open(out + ".flavours", "a", encoding="utf-8") as f:
        f.write(flavour + "\n")
    field.delete_selection()
    position = field.get_position()
    field.insert_text(text, position)
    field.set_position(position + len(text))


entry.connect("changed", save)
entry.connect("paste-clipboard", paste)
window.connect("destroy", Gtk.main_quit)
window.show_all()
entry.grab_focus()
save()
Gtk.main()
