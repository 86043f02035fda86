#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# A GTK 3 window with one text view holding the given text, all of it selected and the
# view focused, for the Wayland round trips (GTK picks the Wayland backend by itself).
#
#   gtk3_text_view.py TEXT
import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import Gtk  # noqa: E402

window = Gtk.Window(title="gtk3 text view")
window.connect("destroy", Gtk.main_quit)
view = Gtk.TextView()
buffer = view.get_buffer()
buffer.set_text(sys.argv[1] if len(sys.argv) > 1 else "")
buffer.select_range(buffer.get_start_iter(), buffer.get_end_iter())
window.add(view)
window.set_default_size(300, 100)
window.show_all()
view.grab_focus()
Gtk.main()
