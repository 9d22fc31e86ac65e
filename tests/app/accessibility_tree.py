#!/usr/bin/python3
"""Reads the running kovconfig's accessibility tree over AT-SPI, as a screen reader does, and
checks the names of its lists and the groups they are in, in the language it was started in.
Usage: accessibility_tree.py C|pl"""
import sys
import time

import pyatspi

EXPECTED = {  # by language: list name -> the group box it is in; and the radio buttons' group
    "C": ({
        "Sound card type": "Sound card",
        "Sound card port number": "Sound card",
        "Sound card IRQ number": "Sound card",
        "8bit DMA channel": "Sound card",
        "16bit DMA channel": "Sound card",
        "Playback rate": "Sound effects",
        "Channels": "Sound effects",
    }, "3D Gfx"),
    "pl": ({
        "Typ karty": "Karta dźwiękowa",
        "Port karty dźwiękowej": "Karta dźwiękowa",
        "Przerwanie (IRQ) karty": "Karta dźwiękowa",
        "Kanał DMA 8-bitowy": "Karta dźwiękowa",
        "Kanał DMA 16-bitowy": "Karta dźwiękowa",
        "Częstotliwość (Hz)": "Efekty dźwiękowe",
        "Kanały": "Efekty dźwiękowe",
    }, "Grafika 3D"),
}


def find_application(name, seconds=20):
    deadline = time.time() + seconds
    while time.time() < deadline:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        time.sleep(0.2)
    return None


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def main():
    expected, rendering = EXPECTED[sys.argv[1]]
    app = find_application("kovconfig")
    if app is None:
        print("FAILED: kovconfig is not on the accessibility bus")
        return 1
    lists = [n for n in walk(app) if n.getRole() == pyatspi.ROLE_COMBO_BOX]
    found = {n.name: n.parent for n in lists}
    failures = 0
    for name, group in expected.items():
        parent = found.get(name)
        if parent is None:
            print(f"FAILED: no list named {name!r}; lists: {sorted(found)}")
            failures += 1
        elif parent.getRole() != pyatspi.ROLE_PANEL or parent.name.strip() != group:
            print(f"FAILED: {name!r} is in {parent.getRoleName()} {parent.name!r}, not group {group!r}")
            failures += 1
        else:
            print(f"ok: {name!r} in group {group!r}")
    radios = [n for n in walk(app) if n.getRole() == pyatspi.ROLE_RADIO_BUTTON]
    for radio in radios:
        if radio.parent.name.strip() != rendering:
            print(f"FAILED: radio {radio.name!r} is not in the {rendering} group")
            failures += 1
    print(f"{sys.argv[1]}: {len(expected) + len(radios) - failures} passed, {failures} failed")
    return 1 if failures or len(radios) != 2 else 0


if __name__ == "__main__":
    sys.exit(main())
