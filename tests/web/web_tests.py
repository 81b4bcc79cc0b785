#!/usr/bin/env python3
"""The web edition in headless Chromium: the page loads cleanly, power-on reaches the engine page,
the keyboard, the panel's keys and a slider reach the instrument, a saved setting survives a reload,
and the script interface draws every screenshot of parity.scn with the same pixels as
corvex-ems-run. Prints the page's size, its time to the first frame and a pass against the native
pass.

usage: web_tests.py SITE_DIR CORVEX_EMS_RUN"""
import functools
import http.server
import json
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser, BrowserError  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
failures = []


def check(condition, what):
    print(("ok   " if condition else "FAIL ") + what, flush=True)
    if not condition:
        failures.append(what)


def serve(site):
    class Quiet(http.server.SimpleHTTPRequestHandler):
        def log_message(self, *args):
            pass
    handler = functools.partial(Quiet, directory=site)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def png_indices(path):
    """The palette indices of an 8-bit indexed PNG (what the runner writes)."""
    with open(path, "rb") as f:
        data = f.read()
    pos, idat, width, height = 8, b"", 0, 0
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            width, height, depth, colour = struct.unpack(">IIBB", body[:10])
            assert depth == 8 and colour == 3, "not an 8-bit indexed PNG"
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    raw = zlib.decompress(idat)
    out, prior = bytearray(), bytearray(width)
    for y in range(height):
        kind, line = raw[y * (width + 1)], bytearray(raw[y * (width + 1) + 1:(y + 1) * (width + 1)])
        for x in range(width):
            a = line[x - 1] if x else 0
            b = prior[x]
            c = prior[x - 1] if x else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        out += line
        prior = line
    return bytes(out)


def screen_hash(indices):
    """FNV-1a over the indices, as the runner's "expect screen" hash."""
    h = 14695981039346656037
    for byte in indices:
        h = ((h ^ byte) * 1099511628211) & 0xFFFFFFFFFFFFFFFF
    return "%016x" % h


def open_page(browser, url):
    browser.open(url)
    browser.wait_for("window.corvex !== undefined")
    browser.evaluate("corvex.ready")


def value(browser, name):
    return browser.evaluate("corvex.value(%s)" % json.dumps(name))


def wait_value(browser, name, wanted, timeout=15):
    deadline = time.monotonic() + timeout
    got = None
    while time.monotonic() < deadline:
        got = value(browser, name)
        if got == wanted:
            return True
        time.sleep(0.1)
    print("     %s is %s, wanted %s" % (name, got, wanted))
    return False


def live_checks(browser, url):
    open_page(browser, url)
    first = browser.evaluate("new Promise(r => { const t = () => corvex.firstFrameMs() !== null ? r(corvex.firstFrameMs()) : setTimeout(t, 10); t(); })")
    browser.evaluate("corvex.power(true)")
    check(wait_value(browser, "devicePhase", "3", 10) and value(browser, "currentScreen") == "homeScreen",
          "power on reaches the engine page")
    check(browser.evaluate("corvex.lamps() & 1") == 1, "the power lamp is lit")
    # The panel's soft key 5 (a click on the picture) turns the home page; the keyboard's Return
    # presses the knob, which opens the page's menu.
    page = value(browser, "homePage")
    browser.evaluate("document.querySelector('.key-area[data-code=\\'5\\']').click()")
    time.sleep(0.5)
    check(value(browser, "homePage") != page, "the panel's soft key 5 turns the home page")
    browser.evaluate("document.dispatchEvent(new KeyboardEvent('keydown', {key: 'Enter', code: 'Enter', bubbles: true}))")
    # (on the second page, the page menu)
    check(wait_value(browser, "overlayScreen", "pageMenuScreen", 5), "the keyboard's Return opens the page's menu")
    # The RPM slider to the cruise's count: the reading beside it and the instrument follow.
    browser.evaluate("(() => { const s = document.getElementById('input-2'); s.value = 325;"
                     " s.dispatchEvent(new Event('input')); })()")
    check(browser.evaluate("document.getElementById('input-2').parentElement.querySelector('.reading').textContent") == "4795 RPM",
          "the RPM slider shows its reading")
    check(wait_value(browser, "rpmPeriod", "325", 5), "the RPM slider reaches the instrument")
    # SAVE SETTINGS TO SD CARD with a registration of our own, then the storage written out.
    error = browser.evaluate("corvex.runScript('set aircraftRegistration \"G-WEBB  \"\\nset currentScreen miscSetupScreen\\n"
                             "set cursorLine 1', undefined, false).error")
    check(error == "", "the script interface sets a field and a screen " + error)
    browser.evaluate("corvex.key(6)")
    time.sleep(1)
    browser.evaluate("corvex.sync()")
    return first


def reload_checks(browser, url):
    open_page(browser, url)
    browser.evaluate("corvex.power(true)")
    wait_value(browser, "devicePhase", "3", 10)
    check(value(browser, "aircraftRegistration") != "G-WEBB", "a power-on starts from the factory registration")
    browser.evaluate("corvex.runScript('set currentScreen miscSetupScreen\\nset cursorLine 2', undefined, false)")
    browser.evaluate("corvex.key(6)")
    check(wait_value(browser, "aircraftRegistration", "G-WEBB", 5), "the saved settings are recalled after a reload")


def parity_checks(browser, url, runner, work):
    script = os.path.join(HERE, "parity.scn")
    with open(script) as f:
        text = f.read()
    started = time.monotonic()
    result = browser.evaluate("corvex.runScript(%s)" % json.dumps(text), timeout=300)
    web_seconds = time.monotonic() - started
    check(result["error"] == "", "the page runs parity.scn " + result["error"])
    out = os.path.join(work, "native")
    started = time.monotonic()
    native = subprocess.run([runner, "--output", out, script], capture_output=True, text=True)
    native_seconds = time.monotonic() - started
    check(native.returncode == 0, "corvex-ems-run runs parity.scn " + native.stderr)
    check(result["output"] == native.stdout, "the printed output is the same")
    for shot in result["shots"]:
        path = os.path.join(out, shot["file"])
        same = os.path.exists(path) and screen_hash(png_indices(path)) == shot["hash"]
        check(same, "the same pixels at " + shot["file"])
    check(len(result["shots"]) == 7, "every screenshot taken (%d)" % len(result["shots"]))
    return web_seconds, native_seconds


def pace(browser, runner, work):
    """A pass in the page against the native pass: 60 s of the instrument at cruise, both ways."""
    script = os.path.join(work, "pace.scn")
    with open(script, "w") as f:
        f.write("include %s\npower on\nwait 60\n" % os.path.join(os.path.dirname(os.path.dirname(HERE)), "data/presets/cruise.scn"))
    web_ms = browser.evaluate("(() => { const t = performance.now();"
                              " corvex.runScript('include /repo/data/presets/cruise.scn\\npower on\\nwait 60');"
                              " return performance.now() - t; })()", timeout=300)
    started = time.monotonic()
    subprocess.run([runner, script], check=True, capture_output=True)
    native_ms = (time.monotonic() - started) * 1000
    return web_ms / 60000, native_ms / 60000


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    site, runner = sys.argv[1], sys.argv[2]
    server = serve(site)
    url = "http://127.0.0.1:%d/index.html" % server.server_address[1]
    work = tempfile.mkdtemp(prefix="corvex-web-")
    profile = os.path.join(work, "profile")
    try:
        browser = Browser(profile)
        try:
            first = live_checks(browser, url)
            check(browser.errors == [], "no console error or failed request " + "; ".join(browser.errors))
        finally:
            browser.close()
        browser = Browser(profile)
        try:
            reload_checks(browser, url)
            web_seconds, native_seconds = parity_checks(browser, url, runner, work)
            web_pass, native_pass = pace(browser, runner, work)
            check(browser.errors == [], "no console error or failed request after the reload " + "; ".join(browser.errors))
        finally:
            browser.close()
    except BrowserError as e:
        check(False, "the browser: %s" % e)
        return 1
    finally:
        server.shutdown()
        shutil.rmtree(work, ignore_errors=True)
    size = sum(os.path.getsize(os.path.join(d, f)) for d, _, files in os.walk(site) for f in files)
    print("figures: page %.2f MB; first frame %.0f ms after navigation; a pass %.2f us in the page, %.2f us native (%.2fx);"
          " parity.scn %.2f s in the page, %.2f s native"
          % (size / 1e6, first, web_pass * 1000, native_pass * 1000, web_pass / native_pass, web_seconds, native_seconds))
    print("%d failure(s)" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
