# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 Kelvara developers
#
# Usage: dbus-run-session -- screen_reader_test.py KELVARA_BINARY, on a
# private session bus. It starts its own Xvfb on a display the server picks
# itself, as other suites may be starting X servers on the same machine.
#
# The real program read as a screen reader reads it: through the AT-SPI
# registry, with Debian's pyatspi client, keys sent with xdotool. It reads
# properties and listens to events only: D-Bus introspection of Qt 6.4's
# objects crashes its bridge, so nothing here introspects.
import os
import subprocess
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402
import pyatspi  # noqa: E402

SWITCH = "Вкл./Выкл. генератора"
AMPLITUDE = "Амплитуда (Uₘ)"
VALUES = "Значения"
# The run's accessible events a second that a reader can live with.
MOST_EVENTS_A_SECOND = 20
MEASURED_SECONDS = 4

failures = []
events = []


def check(ok, what):
    print(("ok    " if ok else "FAIL  ") + what, flush=True)
    if not ok:
        failures.append(what)


def pump(seconds):
    """Lets the client's main loop deliver events for a while."""
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.iteration(False):
            pass
        time.sleep(0.01)


def until(test, seconds=10):
    """Polls `test` (events delivered meanwhile) until it holds or time is up."""
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if test():
            return True
        pump(0.05)
    return test()


def fresh(node):
    node.clear_cache()
    return node


def states(node):
    return {pyatspi.stateToString(s) for s in fresh(node).getState().getStates()}


def description(node):
    return fresh(node).description


def find_app():
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        if app is not None and app.name == "kelvara":
            return app
    return None


def keys(window, *names):
    subprocess.run(["xdotool", "windowfocus", "--sync", window, "key", "--delay", "80", *names],
                   check=True, timeout=20)


def on_event(event):
    events.append((time.monotonic(), event.type, event.source.name if event.source else ""))


def start_x_server():
    """Xvfb on the first free display, which it names once it listens."""
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                               "1920x1080x24", "-nolisten", "tcp"], pass_fds=(write_end,))
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        os.environ["DISPLAY"] = ":" + pipe.readline().strip()
    return server


def main():
    server = start_x_server()
    env = dict(os.environ, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_QPA_PLATFORM="xcb")
    program = subprocess.Popen([sys.argv[1]], env=env)
    try:
        run(program)
    finally:
        program.kill()
        program.wait(10)
        server.terminate()
        server.wait(10)


def run(program):
    if not until(lambda: find_app() is not None, 20):
        check(False, "the program reaches the AT-SPI registry (at-spi2-core, `make deps`)")
        return
    app = find_app()
    frame = app.getChildAtIndex(0)
    check(frame.getRoleName() == "frame" and frame.name == "Kelvara", "the window is a frame")
    children = {frame.getChildAtIndex(i).description if frame.getChildAtIndex(i).name == ""
                else frame.getChildAtIndex(i).name: frame.getChildAtIndex(i)
                for i in range(frame.childCount)}
    switch, amplitude, values = children[SWITCH], children[AMPLITUDE], children[VALUES]
    window = subprocess.run(["xdotool", "search", "--sync", "--onlyvisible", "--pid",
                             str(program.pid), "--name", "^Kelvara$"], check=True, timeout=20,
                            capture_output=True, text=True).stdout.split()[0]

    for kind in ("object:", "window:", "focus:"):
        pyatspi.Registry.registerEventListener(on_event, kind)
    pump(1)  # the program hears of the listeners

    # At rest the switch is off, in its state and in words.
    check("checked" not in states(switch) and description(switch) == "Генератор выключен",
          "the switch at rest: not checked, «Генератор выключен»")

    # Shift+Tab from the switch reaches the amplitude; → moves it one step.
    keys(window, "shift+Tab", "Right")
    check(until(lambda: description(amplitude).startswith("0,6 В")),
          "the amplitude after → reads «0,6 В»: " + description(amplitude))
    check(any(t == "object:property-change:accessible-description" and s == AMPLITUDE
              for _, t, s in events), "the amplitude's move is an event")

    # Back on the switch, Space starts a run.
    keys(window, "Tab", "space")
    check(until(lambda: "checked" in states(switch)), "the switch after Space: checked")
    check(description(switch) == "Генератор включён", "the switch after Space: «Генератор включён»")
    check(any(t == "object:state-changed:checked" and s == SWITCH for _, t, s in events),
          "the switch's change is an event")

    # V: the settings at once, the instant values not while running.
    keys(window, "v")
    check(until(lambda: fresh(values).name.startswith("f = 0,75 Гц")),
          "the values after V: " + fresh(values).name)
    check(fresh(values).name == "f = 0,75 Гц, ω = 4,71 рад/с, Uₘ = 0,6 В. "
          "R = 1 Ом, Iₘ = Uₘ / R = 0,6 А. Действующие значения: U = Uₘ / √2 = 0,424 В. "
          "I = Iₘ / √2 = 0,424 А. Средняя мощность: P = U · I = 0,18 Вт. "
          "Период T = 1 / f = 1,33 с", "the values while running: the settings alone")

    # The run with the values shown sends few events.
    pump(1)
    start = time.monotonic()
    pump(MEASURED_SECONDS)
    counted = [e for e in events if start <= e[0] < start + MEASURED_SECONDS]
    rate = len(counted) / MEASURED_SECONDS
    check(rate < MOST_EVENTS_A_SECOND,
          f"{rate:.1f} accessible events a second during a run (fewer than "
          f"{MOST_EVENTS_A_SECOND}): {sorted(set(t + ' ' + s for _, t, s in counted))}")

    # P freezes: spoken on the focused switch, and the values gain u, i, p.
    before = len(events)
    keys(window, "p")
    check(until(lambda: any(t == "object:property-change:accessible-description" and s == SWITCH
                            for _, t, s in events[before:])), "the freeze is an event on the switch")
    check(description(switch) == "Пауза. Генератор включён",
          "the freeze is spoken: " + description(switch))
    check(until(lambda: ". u = " in fresh(values).name), "the values frozen: " + fresh(values).name)

    # → steps: spoken with the instant values, the same as the values' text.
    before = len(events)
    keys(window, "Right")
    check(until(lambda: description(switch).startswith("Шаг вперёд на 1/60 с. u = ")),
          "the step is spoken: " + description(switch))
    instant = description(switch).split(". ")[1]
    check(fresh(values).name.endswith(". " + instant), "the values after the step: "
          + fresh(values).name)


if __name__ == "__main__":
    main()
    if failures:
        print(f"{len(failures)} failed", flush=True)
        sys.exit(1)
