"""Headless Chromium driven over its DevTools protocol on a pipe (--remote-debugging-pipe): no
package beyond Python and Chromium. One page, its console errors and failed requests collected."""
import json
import os
import subprocess
import time


class BrowserError(Exception):
    pass


class Browser:
    def __init__(self, user_data_dir, chromium="chromium", window_size="1280,1024"):
        self.to_chrome_r, self.to_chrome_w = os.pipe()
        self.from_chrome_r, self.from_chrome_w = os.pipe()
        args = [chromium, "--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
                "--disable-component-update", "--disable-sync", "--no-first-run", "--remote-debugging-pipe",
                "--user-data-dir=" + user_data_dir, "--window-size=" + window_size, "about:blank"]
        # Chromium reads the protocol on fd 3 and writes it on fd 4.
        # (the originals are moved out of the way first, as either may be 3 or 4 itself).
        def fds():
            read_end, write_end = os.dup(self.to_chrome_r), os.dup(self.from_chrome_w)
            os.dup2(read_end, 3)
            os.dup2(write_end, 4)
            os.set_inheritable(3, True)
            os.set_inheritable(4, True)
        self.process = subprocess.Popen(args, pass_fds=(3, 4), preexec_fn=fds,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(self.to_chrome_r)
        os.close(self.from_chrome_w)
        self.buffer = b""
        self.next_id = 0
        self.session = None
        self.errors = []     # console errors, exceptions and failed requests
        self.events = []

    def close(self):
        try:
            self.call("Browser.close", session=False)
        except (BrowserError, OSError):
            pass
        try:
            self.process.wait(timeout=10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
        for fd in (self.to_chrome_w, self.from_chrome_r):
            try:
                os.close(fd)
            except OSError:
                pass

    def _read_message(self, deadline):
        while b"\0" not in self.buffer:
            if time.monotonic() > deadline:
                raise BrowserError("no answer from Chromium in time")
            chunk = os.read(self.from_chrome_r, 1 << 16)
            if not chunk:
                raise BrowserError("Chromium closed its pipe")
            self.buffer += chunk
        message, self.buffer = self.buffer.split(b"\0", 1)
        return json.loads(message)

    def _note(self, message):
        method = message.get("method", "")
        params = message.get("params", {})
        if method == "Runtime.exceptionThrown":
            self.errors.append("exception: " + json.dumps(params.get("exceptionDetails", {}))[:400])
        elif method == "Runtime.consoleAPICalled" and params.get("type") in ("error", "assert"):
            self.errors.append("console error: " + json.dumps(params.get("args", []))[:400])
        elif method == "Log.entryAdded" and params.get("entry", {}).get("level") == "error":
            self.errors.append("log: " + params["entry"].get("text", "") + " " + params["entry"].get("url", ""))
        elif method == "Network.loadingFailed":
            self.errors.append("request failed: " + params.get("errorText", ""))
        elif method == "Network.responseReceived":
            response = params.get("response", {})
            if response.get("status", 200) >= 400:
                self.errors.append("request failed: %s %s" % (response.get("status"), response.get("url")))

    def call(self, method, params=None, session=True, timeout=60):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params or {}}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self.to_chrome_w, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            answer = self._read_message(deadline)
            if answer.get("id") == self.next_id:
                if "error" in answer:
                    raise BrowserError("%s: %s" % (method, answer["error"]))
                return answer.get("result", {})
            self._note(answer)

    def open(self, url):
        target = self.call("Target.createTarget", {"url": "about:blank"}, session=False)["targetId"]
        self.session = self.call("Target.attachToTarget", {"targetId": target, "flatten": True}, session=False)["sessionId"]
        for domain in ("Runtime", "Log", "Network", "Page"):
            self.call(domain + ".enable")
        self.call("Page.navigate", {"url": url})

    def evaluate(self, expression, timeout=60):
        """The value of an expression (a promise is awaited), or BrowserError with the exception."""
        result = self.call("Runtime.evaluate", {"expression": expression, "awaitPromise": True, "returnByValue": True},
                           timeout=timeout)
        if "exceptionDetails" in result:
            details = result["exceptionDetails"]
            raise BrowserError(details.get("exception", {}).get("description") or details.get("text"))
        return result.get("result", {}).get("value")

    def wait_for(self, expression, timeout=30):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            try:
                if self.evaluate(expression):
                    return
            except BrowserError:
                pass
            time.sleep(0.05)
        raise BrowserError("timed out waiting for " + expression)

    def screenshot(self, path):
        import base64
        data = self.call("Page.captureScreenshot", {"format": "png"})["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))
