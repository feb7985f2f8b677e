#!/usr/bin/python3
"""What a screen reader gets from the main window over the accessibility bus (AT-SPI).

Run inside a display and a session bus of its own, for example:
    xvfb-run -a dbus-run-session -- /usr/bin/python3 atspi_check.py build/orvanta \
        [/usr/libexec/at-spi-bus-launcher]
It starts the accessibility bus, then `orvanta simulate` in a scratch folder, waits for the
start-up download and checks the combo boxes, a preset button, the LCD menu check boxes and the
status window's line. Exits 0 when every check passed, 1 with the failures listed otherwise.
"""
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

# Debian 12's Atspi calls get_action_name deprecated but has no other name for it yet.
warnings.simplefilter("ignore", DeprecationWarning)

TIMEOUT = 60  # seconds for each wait
COMBO_LABELS = {"Firing Mode:", "Rate of Fire (ROF):", "AE Bypass ROF:", "Timer Init:",
                "Section 1 Display:", "Section 1-B Display:", "Section 2 Display:",
                "Section 2-B Display:"}
DOWNLOADING = "Downloading settings from your board, please wait..."
failures = []


def check(ok, what):
    print(("ok      " if ok else "FAILED  ") + what, flush=True)
    if not ok:
        failures.append(what)


def wait_for(what, probe):
    """probe() until it gives something other than None or False; fails after TIMEOUT."""
    end = time.monotonic() + TIMEOUT
    while time.monotonic() < end:
        try:
            found = probe()
        except GLib.Error:  # the tree changed under us: ask again
            found = None
        if found:
            return found
        time.sleep(0.2)
    raise TimeoutError("timed out waiting for " + what)


def descendants(node, depth=0):
    for i in range(node.get_child_count() if depth < 30 else 0):
        child = node.get_child_at_index(i)
        if child is not None:
            yield child
            yield from descendants(child, depth + 1)


def find_all(root, role, name=None):
    return [n for n in descendants(root)
            if n.get_role() == role and (name is None or n.get_name() == name)]


def labels_of(node):
    names = []
    for relation in node.get_relation_set():
        if relation.get_relation_type() == Atspi.RelationType.LABELLED_BY:
            for i in range(relation.get_n_targets()):
                names.append(relation.get_target(i).get_name())
    return names


def do_action(node, wanted):
    for i in range(node.get_n_actions()):
        if node.get_action_name(i) in wanted:
            return node.do_action(i)
    raise AssertionError(node.get_name() + " has none of the actions " + str(wanted))


def main_window():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == "orvanta":
            for j in range(app.get_child_count()):
                window = app.get_child_at_index(j)
                if window is not None and window.get_role() == Atspi.Role.DIALOG:
                    return window
    return None


def check_combo_boxes(window):
    combos = find_all(window, Atspi.Role.COMBO_BOX)
    check(len(combos) == len(COMBO_LABELS), "%d combo boxes" % len(combos))
    labels = set()
    for combo in combos:
        items = [n.get_name() for n in descendants(combo) if n.get_role() == Atspi.Role.LIST_ITEM]
        names = labels_of(combo)
        labels.update(names)
        check(combo.get_name() in items,
              "%s is named after its chosen item: %r" % (names, combo.get_name()))
    check(labels == COMBO_LABELS, "combo boxes labelled by their boxes: %s" % sorted(labels))


def combo_labelled(window, label):
    return next(c for c in find_all(window, Atspi.Role.COMBO_BOX) if label in labels_of(c))


def check_preset(window):
    rof = combo_labelled(window, "Rate of Fire (ROF):")
    check(rof.get_name() != "18 bps", "the rate of fire is not Fast's before: %r" % rof.get_name())
    fast = find_all(window, Atspi.Role.RADIO_BUTTON, "Fast")
    check(len(fast) == 1, "one preset button Fast")
    do_action(fast[0], ("Toggle", "Press", "toggle", "press"))
    name = wait_for("the Fast preset", lambda: rof.get_name() == "18 bps" and rof.get_name())
    check(name == "18 bps", "the Fast preset through its action sets 18 bps")
    check(fast[0].get_state_set().contains(Atspi.StateType.CHECKED), "Fast is checked")


def check_lcd_menus(window):
    items = [n for n in descendants(window) if n.get_role() == Atspi.Role.CHECK_BOX]
    check(len(items) == 16, "16 LCD menu check boxes (%d)" % len(items))
    checked = [i.get_state_set().contains(Atspi.StateType.CHECKED) for i in items]
    # A factory-fresh board shows every menu.
    check(all(checked), "every LCD menu checked as the board holds it: %s" % checked)
    do_action(items[0], ("Toggle", "toggle"))
    wait_for("the first LCD menu unchecked",
             lambda: not items[0].get_state_set().contains(Atspi.StateType.CHECKED))
    check(True, "the first LCD menu unchecked through its action")


heard = []  # names and inserted texts the bus announced


def listen(event):
    if isinstance(event.any_data, str) and event.any_data:
        heard.append(event.any_data)
    try:  # the window may be gone by now
        heard.append(event.source.get_name())
    except (GLib.Error, AttributeError):
        pass


def check_status_line(window):
    download = find_all(window, Atspi.Role.PUSH_BUTTON, "Download Configuration")
    check(len(download) == 1, "one Download Configuration button")
    # The status window lives for a moment only; on a busy machine its events can come too late
    # to be matched to it, so a download that went unheard is tried twice more.
    for attempt in range(3):
        pump(1)  # what an earlier download announced is not this download's
        del heard[:]
        # The reply comes once the download is over; the events it caused wait in the queue.
        do_action(download[0], ("Press", "press", "click"))
        end = time.monotonic() + 15
        while DOWNLOADING not in heard and time.monotonic() < end:
            pump(0.1)
        if DOWNLOADING in heard:
            break
        print("attempt %d, heard: %r" % (attempt + 1, heard))
    check(DOWNLOADING in heard, "the status window's line is heard during a download")


def pump(seconds):
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        time.sleep(0.02)


def out_of_time(signum, frame):
    raise TimeoutError("the whole check took too long")


def stop(process):
    process.terminate()
    try:
        process.wait(5)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def main():
    program = os.path.abspath(sys.argv[1])
    launcher = sys.argv[2] if len(sys.argv) > 2 else "/usr/libexec/at-spi-bus-launcher"
    signal.signal(signal.SIGALRM, out_of_time)
    signal.alarm(150)
    scratch = tempfile.mkdtemp(prefix="orvanta-a11y-")
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ACCESSIBILITY="1",
               QT_QPA_PLATFORM="xcb", NO_AT_BRIDGE="0")
    daemons, app = [], None
    try:
        with open(os.path.join(scratch, "bus.log"), "w") as log:
            daemons.append(subprocess.Popen(
                [launcher, "--launch-immediately"],
                stdout=log, stderr=log, env=env))
        time.sleep(1)
        Atspi.init()
        # Listening from the start: the program learns of it as it joins the bus.
        listener = Atspi.EventListener.new(listen)
        for kind in ("object:property-change:accessible-name", "object:text-changed:insert"):
            listener.register(kind)
        with open(os.path.join(scratch, "orvanta.log"), "w") as log:
            app = subprocess.Popen([program, "simulate"], cwd=scratch, stdout=log, stderr=log,
                                   env=env)
        window = wait_for("the main window on the bus", main_window)
        wait_for("the start-up download",
                 lambda: find_all(window, Atspi.Role.LABEL, "v2.11"))
        check_combo_boxes(window)
        check_preset(window)
        check_lcd_menus(window)
        check_status_line(window)
    except Exception as error:  # a wait that timed out, a bus that went away
        check(False, "%s: %s" % (type(error).__name__, error))
    finally:
        signal.alarm(0)
        for process in ([app] if app else []) + daemons:
            stop(process)
        if failures:
            for name in ("orvanta.log", "bus.log"):
                with open(os.path.join(scratch, name)) as log:
                    print("--- " + name + "\n" + log.read())
        shutil.rmtree(scratch, ignore_errors=True)
    print("%d checks failed" % len(failures) if failures else "all checks passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
