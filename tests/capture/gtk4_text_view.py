#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
# A GTK 4 window with one text view holding the given text, focused, for the desktop tests.
#
#   gtk4_text_view.py TEXT
import sys

import gi

gi.require_version("Gtk", "4.0")
from gi.repository import Gtk  # noqa: E402


def activate(app):
    window = Gtk.ApplicationWindow(application=app, title="gtk4 text view")
    view = Gtk.TextView()
    buffer = view.get_buffer()
    # Loading the text is not an edit the user could undo.
    buffer.begin_irreversible_action()
    buffer.set_text(sys.argv[1] if len(sys.argv) > 1 else "")
    buffer.end_irreversible_action()
    window.set_child(view)
    window.set_default_size(300, 100)
    window.present()
    view.grab_focus()


app = Gtk.Application(application_id="com.veltra.quillmark.Gtk4TextView")
app.connect("activate", activate)
app.run([sys.argv[0]])
