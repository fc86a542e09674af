#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Reads the running game as a screen reader does, through AT-SPI.

Run with Debian's own python3 (pyatspi lives there). Commands:

  wait TITLE [SECONDS]        wait until a window of the game with this title
                              is on the accessibility bus
  board                       the minefield table: a line "SIZE n", then one
                              line "column<TAB>row<TAB>name<TAB>description" a
                              cell, row by row
  focus                       "column<TAB>row<TAB>name" of the focused cell
  buttons                     names of the showing push buttons of the game
                              window's status strip, one a line
  focused-button              name of the game window's push button that has
                              the keyboard focus
  texts TITLE                 "role<TAB>name" of every showing labelled thing
                              in the window with that title
  press TITLE NAME [ACTION]   runs the action (the first by default) of the
                              thing named NAME (blanks and line breaks in
                              names count as one blank)
  set-value TITLE INDEX VALUE sets the INDEX-th (from 0) scroll bar's value
  focused TITLE               "role<TAB>name<TAB>value" of the thing that has
                              the keyboard focus in the window with that title
                              (value empty but for scroll bars and spin
                              buttons)
  solve [MODE [MINES]]        plays the board with the keyboard, knowing
                              only the cells' names (tests/e2e/solver.py);
                              MODE "win" (default) goes on until a game is
                              won, "lose" until one is lost; MINES of the
                              level (6); prints what it did
  listen                      prints "event<TAB>role<TAB>name<TAB>description"
                              for focus and name-change events until killed
  serve FOLDER                runs the commands above but solve and listen, one
                              after another, for mf_atspi (atspi.sh): a
                              python3 started for each took about 0.15 s of CPU

Exit status 1 with a message on standard error when something is not found.
"""
import sys
import time

import pyatspi

APP = "marrowfen2"
MAIN_TITLE = " -=:Marrowfen 2:=-"


def fail(message):
    print(message, file=sys.stderr)
    sys.exit(1)


def children_named(parent, name):
    """The children with this name, in order (none without a parent)."""
    for child in parent if parent is not None else []:
        try:
            named = child is not None and child.name == name
        except Exception:  # a child going away as it is asked
            continue
        if named:
            yield child


def child_named(parent, name):
    """The first child with this name; None when there is none."""
    return next(children_named(parent, name), None)


def window(title):
    """The newest window with this title: under the boss key the minimised game
    window is "Microsoft Excel" as much as the message over it."""
    found = None
    for found in children_named(child_named(pyatspi.Registry.getDesktop(0), APP), title):
        pass
    return found


def need_window(title):
    w = window(title)
    if w is None:
        fail("no window %r of %s on the accessibility bus" % (title, APP))
    return w


def walk(node, depth=0):
    """Every descendant, tables not entered (their cells are many)."""
    if node is None or depth > 12:
        return
    yield node
    if node.getRole() == pyatspi.ROLE_TABLE:
        return
    for child in node:
        yield from walk(child, depth + 1)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def minefield():
    for node in walk(need_window(MAIN_TITLE)):
        if node.getRole() == pyatspi.ROLE_TABLE and node.name == "minefield":
            return node
    fail("no minefield table in the game window")


def cmd_wait(title, seconds="20"):
    deadline = time.time() + float(seconds)
    while time.time() < deadline:
        if window(title) is not None:
            return
        time.sleep(0.1)
    fail("window %r did not appear on the accessibility bus" % title)


def cmd_board():
    table = minefield().queryTable()
    n = table.nRows
    if table.nColumns != n:
        fail("the table is %d x %d, not square" % (n, table.nColumns))
    print("SIZE %d" % n)
    for r in range(n):
        for c in range(n):
            cell = table.getAccessibleAt(r, c)
            print("%d\t%d\t%s\t%s" % (c + 1, r + 1, cell.name, cell.description))


def focused_cell(table):
    """(column, row, name) of the table's focused cell, None when none has it."""
    for r in range(table.nRows):
        for c in range(table.nColumns):
            cell = table.getAccessibleAt(r, c)
            if cell.getState().contains(pyatspi.STATE_FOCUSED):
                return c + 1, r + 1, cell.name
    return None


def cmd_focus():
    cell = focused_cell(minefield().queryTable())
    if cell is None:
        fail("no cell has the focus")
    print("%d\t%d\t%s" % cell)


def cmd_buttons():
    for node in walk(need_window(MAIN_TITLE)):
        if node.getRole() == pyatspi.ROLE_PUSH_BUTTON and showing(node):
            print(node.name)


def cmd_focused_button():
    for node in walk(need_window(MAIN_TITLE)):
        state = node.getState()
        if node.getRole() == pyatspi.ROLE_PUSH_BUTTON and state.contains(pyatspi.STATE_FOCUSED):
            print(node.name)
            return
    fail("no push button has the focus")


def cmd_texts(title):
    for node in walk(need_window(title)):
        if node.name and showing(node) and node.getRole() != pyatspi.ROLE_FRAME:
            print("%s\t%s" % (node.getRoleName(), node.name.replace("\n", "\\n")))


def words(text):
    return " ".join(text.split())


def cmd_press(title, name, action=None):
    for node in walk(need_window(title)):
        if words(node.name) == words(name):
            actions = node.queryAction()
            names = [actions.getName(i) for i in range(actions.nActions)]
            if action is not None and action not in names:
                fail("%r has the actions %s, not %r" % (name, names, action))
            actions.doAction(names.index(action) if action else 0)
            return
    fail("nothing named %r in %r" % (name, title))


def cmd_set_value(title, index, value):
    # The level bars read as spin buttons, whose text is the value in words.
    roles = (pyatspi.ROLE_SCROLL_BAR, pyatspi.ROLE_SPIN_BUTTON)
    bars = [n for n in walk(need_window(title)) if n.getRole() in roles]
    if int(index) >= len(bars):
        fail("%r has %d scroll bars" % (title, len(bars)))
    bars[int(index)].queryValue().currentValue = float(value)


def cmd_focused(title):
    for node in walk(need_window(title)):
        if node.getRole() == pyatspi.ROLE_TABLE:
            cell = focused_cell(node.queryTable())
            if cell is not None:
                print("table cell\t%s\t" % cell[2])
                return
        if node.getState().contains(pyatspi.STATE_FOCUSED):
            value = ""
            if node.getRole() in (pyatspi.ROLE_SCROLL_BAR, pyatspi.ROLE_SPIN_BUTTON):
                value = "%g" % node.queryValue().currentValue
            print("%s\t%s\t%s" % (node.getRoleName(), words(node.name), value))
            return
    fail("nothing has the focus in %r" % title)


def cmd_solve(mode="win", mines="6"):
    import solver
    sys.exit(solver.play(minefield, focused_cell, mode, mines))


def cmd_listen():
    def heard(event):
        try:
            source = event.source
            print("%s\t%s\t%s\t%s" % (event.type, source.getRoleName(), source.name,
                                      source.description), flush=True)
        except Exception as error:  # the source may be gone already
            print("%s\t?\t?\t%s" % (event.type, error), flush=True)

    pyatspi.Registry.registerEventListener(
        heard, "object:state-changed:focused", "object:property-change:accessible-name")
    print("listening", flush=True)
    pyatspi.Registry.start()


def cmd_serve(folder):
    """Requests come through the pipe FOLDER/atspi.req: an id and a command's
    arguments, each ended by a NUL, then a "\x1e". The command's output goes
    to FOLDER/atspi.out and its errors to FOLDER/atspi.err, then "ID STATUS"
    a line to the pipe FOLDER/atspi.rep. No main loop runs here, so nothing
    read is cached: each command reads the game afresh, as in a process of
    its own."""
    import contextlib
    import io
    import os
    import traceback

    from gi.repository import GLib

    requests = os.open(os.path.join(folder, "atspi.req"), os.O_RDWR)
    replies = os.open(os.path.join(folder, "atspi.rep"), os.O_RDWR)
    pending = b""
    while True:
        while b"\x1e" not in pending:
            pending += os.read(requests, 65536)
        request, pending = pending.split(b"\x1e", 1)
        ident, *args = [a.decode() for a in request.split(b"\0")[:-1]]
        # The events the bus sent meanwhile, which nothing here listens to.
        while GLib.MainContext.default().iteration(False):
            pass
        out, err, status = io.StringIO(), io.StringIO(), 0
        try:
            with contextlib.redirect_stdout(out), contextlib.redirect_stderr(err):
                if not args or args[0] in ("serve", "solve", "listen") or args[0] not in COMMANDS:
                    fail("not a command the server runs: %r" % args[:1])
                COMMANDS[args[0]](*args[1:])
        except SystemExit as end:
            status = end.code if isinstance(end.code, int) else int(end.code is not None)
        except Exception:
            traceback.print_exc(file=err)
            status = 1
        for name, text in (("atspi.out", out), ("atspi.err", err)):
            with open(os.path.join(folder, name), "w") as f:
                f.write(text.getvalue())
        os.write(replies, ("%s %d\n" % (ident, status)).encode())


COMMANDS = {
    "wait": cmd_wait, "board": cmd_board, "focus": cmd_focus, "buttons": cmd_buttons,
    "focused-button": cmd_focused_button,
    "texts": cmd_texts, "press": cmd_press, "set-value": cmd_set_value, "listen": cmd_listen,
    "focused": cmd_focused, "solve": cmd_solve, "serve": cmd_serve,
}

if __name__ == "__main__":
    if len(sys.argv) < 2 or sys.argv[1] not in COMMANDS:
        fail(__doc__)
    COMMANDS[sys.argv[1]](*sys.argv[2:])
