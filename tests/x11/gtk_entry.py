# A GTK text field with a selection, for the accessibility test: GTK takes
# part in AT-SPI on its own.
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gtk  # noqa: E402

window = Gtk.Window(title="entry")
window.move(150, 150)
window.set_default_size(400, 60)
entry = Gtk.Entry()
entry.set_text(sys.argv[1] if len(sys.argv) > 1 else "hello quillet world")
window.add(entry)
window.connect("destroy", Gtk.main_quit)
window.show_all()
entry.grab_focus()
entry.select_region(6, 13)
Gtk.main()
