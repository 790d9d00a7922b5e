"""Headless Chromium driven through the DevTools protocol over its pipe
(--remote-debugging-pipe: commands on fd 3, replies and events on fd 4, each message
JSON ended by a NUL byte). Every wait is bounded."""
import fcntl
import json
import os
import queue
import shutil
import subprocess
import threading
import time

CHROMIUM = shutil.which("chromium") or shutil.which("chromium-browser")


class CdpError(Exception):
    pass


class Chromium:
    def __init__(self, profile, width=1100, height=1400):
        if not CHROMIUM:
            raise CdpError("chromium is needed: scripts/deps.sh installs it")
        to_child, self._to_browser = os.pipe()
        self._from_browser, from_child = os.pipe()

        def pipes_as_3_and_4():
            # Above 4 first, so that neither dup2 closes the other's source.
            a = fcntl.fcntl(to_child, fcntl.F_DUPFD, 10)
            b = fcntl.fcntl(from_child, fcntl.F_DUPFD, 10)
            os.dup2(a, 3)
            os.dup2(b, 4)

        self.proc = subprocess.Popen(
            [CHROMIUM, "--headless", "--remote-debugging-pipe", "--no-sandbox", "--disable-gpu",
             "--no-first-run", "--disable-background-networking", "--disable-component-update",
             "--disable-sync", "--disable-default-apps", "--disable-extensions",
             f"--window-size={width},{height}", f"--user-data-dir={profile}", "about:blank"],
            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            pass_fds=(3, 4), preexec_fn=pipes_as_3_and_4)
        os.close(to_child)
        os.close(from_child)
        self._next_id = 0
        self._replies = queue.Queue()
        self.events = []
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()
        self.session = None

    def _read(self):
        buffer = b""
        while True:
            chunk = os.read(self._from_browser, 1 << 16)
            if not chunk:
                self._replies.put(None)
                return
            buffer += chunk
            while b"\0" in buffer:
                message, buffer = buffer.split(b"\0", 1)
                data = json.loads(message)
                if "id" in data:
                    self._replies.put(data)
                else:
                    self.events.append(data)

    def send(self, method, timeout=60, session=True, **params):
        """One command; its result, or CdpError for an error reply or no reply in time."""
        self._next_id += 1
        message = {"id": self._next_id, "method": method, "params": params}
        if session and self.session:
            message["sessionId"] = self.session
        os.write(self._to_browser, json.dumps(message).encode() + b"\0")
        deadline = time.monotonic() + timeout
        while True:
            left = deadline - time.monotonic()
            try:
                reply = self._replies.get(timeout=max(left, 0.01))
            except queue.Empty:
                raise CdpError(f"{method}: no reply within {timeout} s") from None
            if reply is None:
                raise CdpError(f"{method}: the browser closed its pipe")
            if reply["id"] == self._next_id:
                if "error" in reply:
                    raise CdpError(f"{method}: {reply['error']}")
                return reply.get("result", {})

    def open_page(self):
        """A new tab, attached: later commands go to it."""
        target = self.send("Target.createTarget", session=False, url="about:blank")
        attached = self.send("Target.attachToTarget", session=False,
                             targetId=target["targetId"], flatten=True)
        self.session = attached["sessionId"]

    def evaluate(self, expression):
        result = self.send("Runtime.evaluate", expression=expression, returnByValue=True,
                           awaitPromise=True)
        if "exceptionDetails" in result:
            raise CdpError(f"{expression}: {result['exceptionDetails']}")
        return result["result"].get("value")

    def wait_for(self, expression, timeout=60):
        """Polls a script expression until it is truthy; returns its value."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            value = self.evaluate(expression)
            if value:
                return value
            time.sleep(0.1)
        raise CdpError(f"still false after {timeout} s: {expression}")

    def close(self):
        try:
            self.send("Browser.close", session=False, timeout=10)
        except CdpError:
            pass
        try:
            self.proc.wait(timeout=20)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.wait(timeout=20)
        os.close(self._to_browser)
