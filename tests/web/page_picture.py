#!/usr/bin/env python3
"""The README's picture of the web edition (scripts/corvex docs): the page in headless Chromium at
zoom 1, the instrument on at cruise.

usage: page_picture.py SITE_DIR OUT.png"""
import os
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from browser import Browser  # noqa: E402
from web_tests import open_page, serve  # noqa: E402


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    server = serve(sys.argv[1])
    with tempfile.TemporaryDirectory() as profile:
        browser = Browser(profile, window_size="1200,760")
        try:
            open_page(browser, "http://127.0.0.1:%d/index.html" % server.server_address[1])
            browser.evaluate("(() => { const z = document.getElementById('zoom'); z.value = '1';"
                             " z.dispatchEvent(new Event('change')); })()")
            browser.evaluate("[...document.querySelectorAll('#presets button')].find(b => b.textContent === 'Cruise').click()")
            browser.evaluate("corvex.power(true)")
            time.sleep(2)
            browser.evaluate("corvex.key(1)")
            time.sleep(1)
            browser.evaluate("corvex.key(1)")
            time.sleep(4)
            browser.screenshot(sys.argv[2])
        finally:
            browser.close()
            server.shutdown()
    return 0


if __name__ == "__main__":
    sys.exit(main())
