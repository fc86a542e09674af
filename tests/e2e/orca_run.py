#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs Debian's Orca screen reader for a test: orca_run.py LOG PREFS_DIR

Orca speaks nothing (no speech server, no braille, no sounds) but writes
every utterance to LOG as "SPEECH OUTPUT: '...'" lines. PREFS_DIR holds its
settings. It is started here rather than through /usr/bin/orca, which finds
other Orca processes of the same user by name and refuses to run beside
them (or, with --replace, kills them): this one runs as python3, on the
test's own buses, and stops with the test.
"""
import sys

from orca import debug

debug.debugLevel = debug.LEVEL_INFO
debug.eventDebugLevel = debug.LEVEL_OFF
debug.debugFile = open(sys.argv[1], "w", buffering=1)

from orca import orca  # noqa: E402  (after the debug settings, as orca's own launcher does)

orca.getSettingsManager().activate(sys.argv[2], {
    "enableSpeech": False,
    "enableBraille": False,
    "enableSound": False,
})
sys.exit(orca.main())
