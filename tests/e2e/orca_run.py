#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs Debian's Orca screen reader for a test: orca_run.py LOG PREFS_DIR

Orca's speech is on, so it generates everything it would say, its own
messages ("Status bar not found", window titles) included, and writes each
utterance to LOG as a "SPEECH OUTPUT: '...'" line. But it has no speech
server to say it with: the factory is named empty and no other is tried, so
Orca never loads speech-dispatcher (nor starts its daemon) and nothing is
audible. No braille and no sounds either. PREFS_DIR holds its settings.
It is started here rather than through /usr/bin/orca, which finds other
Orca processes of the same user by name and refuses to run beside
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
    "enableSpeech": True,
    "speechServerFactory": "",
    "speechFactoryModules": [],
    "enableBraille": False,
    "enableSound": False,
})
sys.exit(orca.main())
