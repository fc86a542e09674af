# SPDX-License-Identifier: GPL-3.0-or-later
"""A player who cannot see the board: it knows the cells only by their
accessible names ("covered", "flag", "empty", "1".."8", "mine", ...) and the
focus cell only by its focused state, and plays with the keys a blind player
uses (the arrows, Space, F, Ctrl+B), typed with xdotool into the window that
has the focus. Safe Corners is taken to be on, as it is by default.

It flags the mines it can prove (or, to lose, uncovers one), opens the
cells it can prove safe, and guesses the least risky cell when it can prove
nothing. One line a step on
standard output:

  open C R NAME     Space on a covered cell, and the name it took
  flag C R LEFT     F on a covered cell, LEFT mines then left by the count
  lost / won        the game ended so
  new               Ctrl+B after a lost game, a new board
"""
import itertools
import os
import re
import subprocess
import time

ENDED = ("mine", "exploded mine")


def key(*keys):
    subprocess.run(["xdotool", "key", "--clearmodifiers", "--delay", "40", *keys], check=True)


# What Orca says of the mines left after F, as its log has it.
MINES_LEFT = re.compile(r"SPEECH OUTPUT: '\d+ mines? left\.'")


def mines_left_said():
    """How often Orca has said the mines left, by the log MF_ORCA_LOG names;
    None without one."""
    path = os.environ.get("MF_ORCA_LOG")
    if not path:
        return None
    with open(path, errors="replace") as log:
        return sum(1 for line in log if MINES_LEFT.search(line))


def names(table):
    n = table.nRows
    return n, {(c + 1, r + 1): table.getAccessibleAt(r, c).name
               for r in range(n) for c in range(n)}


def around(n, cell):
    c, r = cell
    return [(c + dc, r + dr) for dc in (-1, 0, 1) for dr in (-1, 0, 1)
            if (dc or dr) and 1 <= c + dc <= n and 1 <= r + dr <= n]


def constraints(n, board, mines, safe):
    """(unknown cells, mines among them) of every number beside unknown cells."""
    found = []
    for cell, name in board.items():
        if name.isdigit():
            unknown = frozenset(q for q in around(n, cell)
                                if board[q] == "covered" and q not in mines and q not in safe)
            left = int(name) - sum(q in mines for q in around(n, cell))
            if unknown:
                found.append((unknown, left))
    return found


def deduce(n, board, total):
    """The covered cells proved safe and the ones proved mined (flags count as mines)."""
    mines = {cell for cell, name in board.items() if name == "flag"}
    safe = {cell for cell in ((1, 1), (1, n), (n, 1), (n, n)) if board[cell] == "covered"}
    while True:
        before = len(mines) + len(safe)
        rules = constraints(n, board, mines, safe)
        for cells, left in rules:
            if left == 0:
                safe |= cells
            elif left == len(cells):
                mines |= cells
        for (a, ka), (b, kb) in itertools.permutations(rules, 2):
            if a < b and kb - ka == 0:
                safe |= b - a
            elif a < b and kb - ka == len(b - a):
                mines |= b - a
        unknown = {c for c, name in board.items() if name == "covered"} - mines - safe
        if len(mines) == total:
            safe |= unknown
        elif len(mines) + len(unknown) == total:
            mines |= unknown
        if len(mines) + len(safe) == before:
            return safe, {cell for cell in mines if board[cell] == "covered"}


def risk(n, board, total, cell):
    rules = [(cells, left) for cells, left in constraints(n, board, set(), set()) if cell in cells]
    if rules:
        return max(left / len(cells) for cells, left in rules)
    covered = sum(name == "covered" for name in board.values())
    return total / max(covered, 1)


def wait(what, seconds=5):
    deadline = time.time() + seconds
    while time.time() < deadline:
        try:
            if what():
                return True
        except Exception:  # a cell going away under a new board
            pass
        time.sleep(0.05)
    return False


class Player:
    def __init__(self, minefield, focused_cell, total):
        self.minefield = minefield
        self.focused_cell = focused_cell
        self.total = total

    def focus(self):
        return self.focused_cell(self.minefield().queryTable())

    def go(self, target):
        """Moves the focus cell there with the arrows."""
        for _ in range(3):
            at = self.focus()
            if at is None:
                key("Tab")
                wait(lambda: self.focus() is not None)
                continue
            dx, dy = target[0] - at[0], target[1] - at[1]
            if not dx and not dy:
                return
            key(*(["Right"] * dx + ["Left"] * -dx + ["Down"] * dy + ["Up"] * -dy))
            wait(lambda: self.focus()[:2] == target)
            time.sleep(0.2)  # Orca reads the new cell
        raise RuntimeError("the focus did not reach column %d, row %d" % target)

    def press(self, target, what):
        """Space or F on the cell; returns the board afterwards."""
        self.go(target)
        said = mines_left_said() if what == "f" else None
        key(what)
        table = self.minefield().queryTable()
        c, r = target
        wait(lambda: table.getAccessibleAt(r - 1, c - 1).name != "covered")
        if said is None:
            time.sleep(0.3)  # Orca speaks it
        else:  # the next key would cut Orca short: it speaks the mines left last
            wait(lambda: mines_left_said() > said)
        return names(self.minefield().queryTable())[1]

    def new_board(self):
        key("ctrl+b")
        wait(lambda: set(names(self.minefield().queryTable())[1].values()) == {"covered"})
        time.sleep(0.5)
        print("new", flush=True)

    def step(self, mode):
        """One key on the board: "lost", "won" or None while the game goes on."""
        n, board = names(self.minefield().queryTable())
        safe, mines = deduce(n, board, self.total)
        at = self.focus() or (1, 1)
        near = lambda cell: abs(cell[0] - at[0]) + abs(cell[1] - at[1])  # noqa: E731
        if mines and mode == "win":  # a flag first, so that F is heard often
            cell = min(mines, key=near)
            after = self.press(cell, "f")
            left = self.total - sum(name == "flag" for name in after.values())
            print("flag %d %d %d" % (cell + (left,)), flush=True)
            return None
        if mines:
            cell = min(mines, key=near)
        elif safe:
            cell = min(safe, key=near)
        else:
            covered = [c for c, name in board.items() if name == "covered"]
            cell = min(covered, key=lambda c: (risk(n, board, self.total, c), near(c)))
        after = self.press(cell, "space")
        print("open %d %d %s" % (cell + (after[cell],)), flush=True)
        if after[cell] in ENDED:
            return "lost"
        if "covered" not in after.values():
            return "won"
        return None


def play(minefield, focused_cell, mode="win", total=6):
    """Plays until a game ends as MODE says (win or lose); 0 then, else 1."""
    player = Player(minefield, focused_cell, int(total))
    for _ in range(15):
        for _ in range(80):
            end = player.step(mode)
            if end:
                break
        print(end or "stuck", flush=True)
        if end == mode.replace("win", "won").replace("lose", "lost"):
            return 0
        if end != "lost":
            return 1
        player.new_board()
    return 1
