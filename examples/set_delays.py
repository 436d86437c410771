#!/usr/bin/python3
"""Sets the delay of every frame of a GIF animation with GIF Loopwright 3.0, and saves it.

    set_delays.py FILE DELAY

DELAY is in hundredths of a second (1 to 65535). The script drives the editor the user has
open; when none runs, the session bus starts one, once the editor has registered itself
with `loopwright -REGSERVER`. It needs python3-dbus.
"""
import os
import sys

import dbus

SERVICE = "com.quillmark.Loopwright3"  # the ProgID Loopwright3.GIFApplication
PREFIX = SERVICE + "."


class Editor:
    """The editor's objects on the session bus, by path."""

    def __init__(self):
        self.bus = dbus.SessionBus()

    def methods(self, path, interface):
        return dbus.Interface(self.bus.get_object(SERVICE, path), PREFIX + interface)

    def get(self, path, interface, name):
        properties = dbus.Interface(self.bus.get_object(SERVICE, path), dbus.PROPERTIES_IFACE)
        return properties.Get(PREFIX + interface, name)

    def set(self, path, interface, name, value):
        properties = dbus.Interface(self.bus.get_object(SERVICE, path), dbus.PROPERTIES_IFACE)
        properties.Set(PREFIX + interface, name, value)


def set_delays(path, delay):
    editor = Editor()
    app = editor.methods("/Application", "IGIFLoopwrightApplication")
    # OpenFile answers false for a file that is open already; it is then brought forward.
    if not app.OpenFile(path) and not app.IsFileOpen(path):
        raise RuntimeError("the editor could not open " + path)
    document = editor.get("/Application", "IGIFLoopwrightApplication", "ActiveDocument")
    frames = editor.get(document, "IActiveDocument", "Frames")
    count = editor.get(frames, "IFrames", "Count")
    for index in range(count):
        frame = editor.methods(frames, "IFrames").Frame(index)
        if frame != "/":
            editor.set(frame, "IFrame", "Delay", dbus.Int32(delay))
    if not editor.methods(document, "IActiveDocument").Save():
        raise RuntimeError("the editor did not save " + path)
    return count


def main(argv):
    if len(argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    path = os.path.abspath(argv[1])
    try:
        delay = int(argv[2])
    except ValueError:
        delay = 0
    if not 1 <= delay <= 65535:
        print("set_delays.py: DELAY must be a whole number from 1 to 65535", file=sys.stderr)
        return 2
    if not os.path.isfile(path):
        print("set_delays.py: no such file: " + path, file=sys.stderr)
        return 1
    try:
        count = set_delays(path, delay)
    except (dbus.DBusException, RuntimeError) as error:
        print("set_delays.py: %s" % error, file=sys.stderr)
        return 1
    print("%s: %d frames, delay %d" % (path, count, delay))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
