"""What a screen reader sees of the running editor, read over AT-SPI.

Run by run-atspi-check on a display and a session bus of its own:
    atspi_window.py <executable> <work folder>
Starts the editor, finds its window through the accessibility registry and checks the
names and roles of its controls and the cells of its four value lists. Exit code 0 when
all holds, 1 with the failures on stderr otherwise.
"""

import os
import subprocess
import sys
import time

import pyatspi

CAPTION_END = "Kestro Orrery (1.0.0.1 Beta)"

# name -> role of controls the window must show (names shared by two controls appear once)
EXPECTED = {
    ("Device", pyatspi.ROLE_COMBO_BOX),
    ("File name", pyatspi.ROLE_COMBO_BOX),
    ("Output file format", pyatspi.ROLE_COMBO_BOX),
    ("Codec", pyatspi.ROLE_COMBO_BOX),
    ("Encoding Method", pyatspi.ROLE_COMBO_BOX),
    ("Framerate", pyatspi.ROLE_COMBO_BOX),
    ("Profile name", pyatspi.ROLE_TEXT),
    ("Default bitrate (kbps)", pyatspi.ROLE_TEXT),
    ("Default bitrate (kbps)", pyatspi.ROLE_SLIDER),
    ("Max bitrate (kbps)", pyatspi.ROLE_TEXT),
    ("Width", pyatspi.ROLE_TEXT),
    ("Copy source directly", pyatspi.ROLE_CHECK_BOX),
    ("Video + Audio", pyatspi.ROLE_RADIO_BUTTON),
    ("Audio Only", pyatspi.ROLE_RADIO_BUTTON),
    ("Add Device", pyatspi.ROLE_PUSH_BUTTON),
    ("Save", pyatspi.ROLE_PUSH_BUTTON),
    ("Save As", pyatspi.ROLE_PUSH_BUTTON),
    ("Close", pyatspi.ROLE_PUSH_BUTTON),
}
# list name -> a value it shows for the first profile of the sample device
LISTS = {"Frame Resolution": "720x480", "Framerate": "25 fps", "Bitrate": "128 kbps", "Samplerate": "44.1 kHz"}

failures = []


def fail(text):
    failures.append(text)


def descendants(node, depth=0):
    if node is None or depth > 12:
        return
    yield node
    for i in range(node.childCount):
        try:
            child = node.getChildAtIndex(i)
        except Exception:  # a child gone while walking
            continue
        # Cells are read through the table interface, not walked one by one.
        if node.getRole() == pyatspi.ROLE_TABLE:
            continue
        yield from descendants(child, depth + 1)


def find_window(deadline):
    desktop = pyatspi.Registry.getDesktop(0)
    while time.time() < deadline:
        for i in range(desktop.childCount):
            app = desktop.getChildAtIndex(i)
            if app is None:
                continue
            for j in range(app.childCount):
                window = app.getChildAtIndex(j)
                if window is not None and window.name.endswith(CAPTION_END):
                    return window
        time.sleep(0.5)
    return None


def check_list(table_node, shown):
    table = table_node.queryTable()
    if table.nColumns != 2:
        fail(f"list {table_node.name}: {table.nColumns} columns, not 2")
        return
    values, checked = [], []
    for row in range(table.nRows):
        default = table.getAccessibleAt(row, 0)
        value = table.getAccessibleAt(row, 1)
        values.append(value.name)
        if default.getState().contains(pyatspi.STATE_CHECKED):
            checked.append(value.name)
        if value.getState().contains(pyatspi.STATE_CHECKED):
            fail(f"list {table_node.name}: value cell {value.name!r} is checked")
    if shown not in values:
        fail(f"list {table_node.name}: {shown!r} not among the cells {values}")
    if len(checked) != 1:
        fail(f"list {table_node.name}: Default checked on {checked}, not on exactly one row")


def main():
    executable, work = sys.argv[1], sys.argv[2]
    env = dict(os.environ, XDG_CONFIG_HOME=f"{work}/config", XDG_STATE_HOME=f"{work}/state",
               XDG_DATA_HOME=f"{work}/data", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1")
    env.pop("QT_QPA_PLATFORM", None)
    env.pop("WAYLAND_DISPLAY", None)
    for folder in ("config", "state", "data"):
        os.makedirs(f"{work}/{folder}", exist_ok=True)
    with open(f"{work}/program.log", "w") as log:
        program = subprocess.Popen([executable], env=env, stdout=log, stderr=subprocess.STDOUT)
    try:
        window = find_window(time.time() + 60)
        if window is None:
            fail("no window \"... " + CAPTION_END + "\" in the accessibility registry")
        else:
            print(f"atspi: window {window.name!r}")
            found = set()
            tables = {}
            for node in descendants(window):
                role = node.getRole()
                if role == pyatspi.ROLE_TABLE:
                    tables[node.name] = node
                if node.getState().contains(pyatspi.STATE_FOCUSABLE) and node.getState().contains(
                        pyatspi.STATE_SHOWING) and not node.name:
                    fail(f"a focusable {node.getRoleName()} without a name")
                found.add((node.name, role))
            for name, role in sorted(EXPECTED - found, key=str):
                fail(f"no {role} named {name!r}")
            for name, shown in LISTS.items():
                if name not in tables:
                    fail(f"no table named {name!r} (tables: {sorted(tables)})")
                else:
                    check_list(tables[name], shown)
            print(f"atspi: {len(found)} named parts, {len(tables)} tables")
    finally:
        program.terminate()
        try:
            program.wait(10)
        except subprocess.TimeoutExpired:
            program.kill()
    for text in failures:
        print(f"atspi: FAILED: {text}", file=sys.stderr)
    if failures:
        with open(f"{work}/program.log") as log:
            sys.stderr.write(log.read())
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
