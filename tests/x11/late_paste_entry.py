# A GTK text field that fetches the clipboard late: Ctrl+V asks for the
# text only DELAY_MS after the key, as a loaded machine or a remote window
# would. The field's text is written to OUT after every change.
#   late_paste_entry.py DELAY_MS OUT
import os
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gdk, GLib, Gtk  # noqa: E402

delay_ms = int(sys.argv[1])
out = sys.argv[2]

window = Gtk.Window(title="late paste")
window.set_wmclass("latepaste", "LatePaste")
window.set_default_size(400, 60)
entry = Gtk.Entry()
window.add(entry)


def save(*_):
    with open(out + ".part", "w", encoding="utf-8") as f:
        f.write(entry.get_text())
    os.replace(out + ".part", out)


def paste_late(field):
    field.stop_emission_by_name("paste-clipboard")
    position = field.get_position()

    def received(_clipboard, text, _data):
        if text:
            field.insert_text(text, position)
            field.set_position(position + len(text))

    def fetch():
        Gtk.Clipboard.get(Gdk.SELECTION_CLIPBOARD).request_text(received, None)
        return False

    GLib.timeout_add(delay_ms, fetch)


entry.connect("changed", save)
entry.connect("paste-clipboard", paste_late)
window.connect("destroy", Gtk.main_quit)
window.show_all()
entry.grab_focus()
save()
Gtk.main()
