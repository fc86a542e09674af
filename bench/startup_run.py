#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""One start-up run for bench/startup.sh, timed from X's own events.

  startup_run.py FIRST_TITLE [NEXT_TITLE] -- PROGRAM [ARGS...]

Starts the program and waits for a window called FIRST_TITLE to be mapped.
With NEXT_TITLE it then presses Return (through the XTEST extension, as a
keyboard does) and waits for a window called NEXT_TITLE. It waits 1.5 s more,
reads the program's resident memory and ends it. Prints one line:

  <ms to FIRST_TITLE> <ms from Return to NEXT_TITLE, or -1> <VmRSS in KiB>

No process is started for a key or a look at the windows, so the figures are
the program's, not a tool's. Needs a display with no window manager: the
program's windows are then children of the root window.
"""
import ctypes
import os
import signal
import subprocess
import sys
import time

MAP_NOTIFY = 19
SUBSTRUCTURE_NOTIFY_MASK = 1 << 19
XK_RETURN = 0xFF0D

x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
xtst = ctypes.cdll.LoadLibrary("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x11.XPending.argtypes = [ctypes.c_void_p]
x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
x11.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
x11.XFree.argtypes = [ctypes.c_void_p]
x11.XFlush.argtypes = [ctypes.c_void_p]
x11.XConnectionNumber.argtypes = [ctypes.c_void_p]
x11.XKeysymToKeycode.restype = ctypes.c_ubyte
x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]


class MapEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong),
                ("send_event", ctypes.c_int), ("display", ctypes.c_void_p),
                ("event", ctypes.c_ulong), ("window", ctypes.c_ulong),
                ("override_redirect", ctypes.c_int)]


class Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xmap", MapEvent), ("pad", ctypes.c_long * 24)]


def window_name(display, window):
    name = ctypes.c_char_p()
    if not x11.XFetchName(display, window, ctypes.byref(name)) or not name.value:
        return None
    text = name.value.decode("utf-8", "replace")
    x11.XFree(name)
    return text


def wait_mapped(display, title, process, timeout=30.0):
    """The time a window with this title was mapped, or None."""
    deadline = time.monotonic() + timeout
    event = Event()
    while time.monotonic() < deadline and process.poll() is None:
        if not x11.XPending(display):
            time.sleep(0.0005)
            continue
        x11.XNextEvent(display, ctypes.byref(event))
        if event.type == MAP_NOTIFY:
            seen = time.monotonic()
            if window_name(display, event.xmap.window) == title:
                return seen
    return None


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def main(argv):
    if "--" not in argv:
        sys.exit(__doc__)
    split = argv.index("--")
    titles, command = argv[1:split], argv[split + 1:]
    if not 1 <= len(titles) <= 2 or not command:
        sys.exit(__doc__)
    display = x11.XOpenDisplay(None)
    if not display:
        sys.exit("startup_run: cannot open the display")
    x11.XSelectInput(display, x11.XDefaultRootWindow(display), SUBSTRUCTURE_NOTIFY_MASK)
    x11.XFlush(display)

    started = time.monotonic()
    process = subprocess.Popen(command, stdin=subprocess.DEVNULL)
    try:
        first = wait_mapped(display, titles[0], process)
        if first is None:
            sys.exit(f"startup_run: no window '{titles[0]}'")
        next_ms = -1
        if len(titles) == 2:
            time.sleep(0.3)  # the window has painted and taken the keyboard
            key = x11.XKeysymToKeycode(display, XK_RETURN)
            pressed = time.monotonic()
            xtst.XTestFakeKeyEvent(display, key, 1, 0)
            xtst.XTestFakeKeyEvent(display, key, 0, 0)
            x11.XFlush(display)
            shown = wait_mapped(display, titles[1], process)
            if shown is None:
                sys.exit(f"startup_run: no window '{titles[1]}' after Return")
            next_ms = round((shown - pressed) * 1000)
        time.sleep(1.5)
        print(round((first - started) * 1000), next_ms, rss_kib(process.pid))
    finally:
        if process.poll() is None:
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(3)
            except subprocess.TimeoutExpired:
                process.kill()


if __name__ == "__main__":
    main(sys.argv)
