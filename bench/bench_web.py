#!/usr/bin/python3
"""The browser page measured in headless Chromium beside the game's own wire.

  bench_web --server PATH [--loads N] [--finds N]

1. The page's weight on its first load: the bytes transferred (headers and
   bodies; the sounds load only after the player's first touch and are not
   among them), with the browser's cache off.
2. The time from opening the page (a page that remembers its name and so
   joins at once) to the first frame that shows a board with its letters,
   against the time to the first frame of a blank page, in the same run;
   both from the navigation's start, with the cache off for the page.
3. The word latency, from sending CMD_myword to reading one's own
   CMD_hefoundit, of the page's seat (timed inside the page, around its
   WebSocket) beside a seat on the game's TCP wire (timed by this script),
   one find each per game, a host restarting the game after each. Figures
   also in ticks of the server's 10 ms dispatch timer.

Everything runs on 127.0.0.1; the browser resolves no other name.
"""

import argparse
import os
import random
import select
import shutil
import socket
import statistics
import subprocess
import sys
import tempfile
import threading
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "web"))
import browser_seats as bs  # noqa: E402  (the test's browser set-up and helpers)

TICK_MS = 10.0
TERMINATOR = b"\xff"

# Marks the first animation frame that shows the content: a board with its
# letters on the game's page, the body on a blank one. Injected before any
# script of the page runs, it also times the page's finds at its WebSocket.
PROBE = r"""
(() => {
  const ready = () => location.protocol === 'data:' ? !!document.body
    : !!document.querySelector('#paintbox_board .tile')?.textContent;
  const poll = () => ready() ? requestAnimationFrame(() => { window.__drawnAt = performance.now(); })
                             : requestAnimationFrame(poll);
  requestAnimationFrame(poll);
  window.__finds = [];
  const Base = window.WebSocket;
  if (!Base) return;
  const decoder = new TextDecoder('latin1');
  window.WebSocket = class extends Base {
    constructor(...args) {
      super(...args);
      this.addEventListener('message', (e) => {
        const text = typeof e.data === 'string' ? e.data : decoder.decode(new Uint8Array(e.data));
        for (const m of text.split('\xff'))
          if (window.__sentAt !== undefined && m.startsWith('CMD_hefoundit+' + window.__seat + '+')) {
            window.__finds.push(performance.now() - window.__sentAt);
            window.__sentAt = undefined;
          }
      });
    }
    send(data) {
      const bytes = data instanceof Uint8Array ? data : new Uint8Array(data.buffer ?? data);
      const text = decoder.decode(bytes.subarray(0, 13));
      if (text.startsWith('CMD_myword+')) {
        window.__seat = decoder.decode(bytes).split('+')[1];
        window.__sentAt = performance.now();
      }
      return super.send(data);
    }
  };
})();
"""


class TcpSeat:
    """A player on the game's TCP wire: messages read by a thread of its own,
    each stamped as it arrives."""

    def __init__(self, port, name):
        self.sock = socket.create_connection(("127.0.0.1", port))
        self.sock.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        self.name = name
        self.messages = []
        self.cond = threading.Condition()
        self.seat = 0
        threading.Thread(target=self._read, daemon=True).start()
        login = self.wait(lambda m: m.startswith(b"CMD_sendlogininfo+"))
        self.seat = int(login.split(b"+")[1])
        self.send(b"CMD_logininfo+%d+1.0.5+%s" % (self.seat, name.encode()))

    def _read(self):
        pending = b""
        while True:
            data = self.sock.recv(65536)
            now = time.perf_counter()
            if not data:
                return
            pending += data
            *whole, pending = pending.split(TERMINATOR)
            with self.cond:
                self.messages += [(now, m) for m in whole]
                self.cond.notify_all()

    def send(self, text):
        self.sock.sendall(text + TERMINATOR)

    def wait(self, match, after=0.0, timeout=10.0):
        end = time.monotonic() + timeout
        with self.cond:
            while True:
                for stamp, m in self.messages:
                    if stamp >= after and match(m):
                        return m
                left = end - time.monotonic()
                if left <= 0:
                    raise bs.Failure(f"{self.name}: timed out")
                self.cond.wait(left)

    def stamp_of(self, match, after):
        with self.cond:
            for stamp, m in self.messages:
                if stamp >= after and match(m):
                    return stamp
        return None

    def last(self, prefix):
        with self.cond:
            for _, m in reversed(self.messages):
                if m.startswith(prefix):
                    return m
        return b""


def positions(loadboard, theword):
    """The first tile of each letter: as good as any to the server."""
    cells = loadboard.split(b"+")[1:]
    letters = theword.split(b"+")[1:]
    out = b""
    for k in range(0, len(letters) - 1, 2):
        for i in range(1, len(cells) - 2, 3):
            if cells[i + 2] == letters[k + 1]:
                out += b"+" + cells[i] + b"+" + cells[i + 1]
                break
    return out


def summary(values):
    s = sorted(values)
    def pct(p):
        return s[min(len(s) - 1, int(p * (len(s) - 1) + 0.5))]
    return f"median {statistics.median(s):6.2f} ms, p90 {pct(0.9):6.2f} ms, worst {s[-1]:6.2f} ms (n={len(s)})"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--server", required=True)
    parser.add_argument("--loads", type=int, default=15)
    parser.add_argument("--finds", type=int, default=60)
    args = parser.parse_args()

    try:
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
        from selenium.webdriver.common.by import By
    except ImportError as e:
        sys.exit(f"python3-selenium is needed: {e}")

    folder = tempfile.mkdtemp(prefix="zarvex-bench-web-")
    game_port, web_port = bs.free_port(), bs.free_port()
    server = subprocess.Popen([args.server, "--port", str(game_port), "--web-port", str(web_port), "--no-announce"],
                              env=bs.quiet_environment(folder), stdout=subprocess.DEVNULL)
    driver = None
    try:
        time.sleep(0.5)
        host = TcpSeat(game_port, "Hal")
        wire = TcpSeat(game_port, "Tia")
        host.send(b"CMD_startgame+Hal+100000+3600+f+f+")
        driver = bs.start_browser(webdriver, Service, folder, 1280, 800, False)
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": PROBE})
        url = f"http://127.0.0.1:{web_port}/"
        page = bs.Page(driver, url, By)
        page.join("Bea")   # the name is remembered from now on
        bs.wait_for(lambda: page.my_seat() == 3, "the page in seat 3")

        # 1 and 2: first loads, cache off, against a blank page.
        driver.execute_cdp_cmd("Network.enable", {})
        driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": True})
        blank_ms, page_ms, weights = [], [], []
        for _ in range(args.loads):
            driver.get("data:text/html,<title>blank</title>")
            blank_ms.append(bs.wait_for(lambda: driver.execute_script("return window.__drawnAt"), "a blank frame"))
            driver.get(url)
            page_ms.append(bs.wait_for(lambda: driver.execute_script("return window.__drawnAt"), "a drawn board"))
            entries = driver.execute_script("""
                return [performance.getEntriesByType('navigation')[0], ...performance.getEntriesByType('resource')]
                  .map((e) => [e.name, e.transferSize, e.encodedBodySize]);""")
            weights.append([e for e in entries if "/sounds/" not in e[0]])
        first = weights[0]
        transferred = sum(e[1] for e in first)
        bodies = sum(e[2] for e in first)
        print(f"page weight on first load: {transferred} bytes transferred in {len(first)} responses "
              f"({bodies} of bodies), without sounds; target <= 153600")
        print(f"blank page to its first frame:       {summary(blank_ms)}")
        print(f"game page to a drawn board:          {summary(page_ms)}")
        driver.execute_cdp_cmd("Network.setCacheDisabled", {"cacheDisabled": False})
        bs.wait_for(lambda: page.my_seat() == 3, "the page back in seat 3")

        # 3: a find each per game, in turns which goes first.
        page_finds, wire_finds = [], []
        for game in range(args.finds):
            started = time.perf_counter()
            host.send(b"CMD_startgame+Hal+100000+3600+f+f+")
            wire.wait(lambda m: m.startswith(b"CMD_nextplayer+"), after=started)
            board = wire.last(b"CMD_loadboard+")
            word = wire.last(b"CMD_theword+")
            # The page shows this game's board (its round number restarts at
            # 1, so its word tells it apart from the last one).
            letters = bytes(int(word.split(b"+")[k]) + 64 for k in range(2, len(word.split(b"+")), 2)).decode()
            shown = bs.wait_for(lambda: (lambda b: b if b["word"] == letters and all(b["tiles"].values()) else None)(page.board()),
                                "the page's board")
            path = bs.find_straight(shown["tiles"], shown["word"])
            bs.wait_for(lambda: driver.execute_script("return document.body.classList.contains('myturn')"), "the page's turn")

            def wire_find():
                time.sleep(random.uniform(0, TICK_MS / 1000))
                sent = time.perf_counter()
                wire.send(b"CMD_myword+%d%s" % (wire.seat, positions(board, word)))
                wire.wait(lambda m: m.startswith(b"CMD_hefoundit+%d+" % wire.seat), after=sent)
                wire_finds.append((wire.stamp_of(lambda m: m.startswith(b"CMD_hefoundit+%d+" % wire.seat), sent) - sent) * 1000)

            def page_find():
                before = len(driver.execute_script("return window.__finds"))
                for column, row in path[:-1]:
                    page.click_tile(column, row)
                time.sleep(random.uniform(0, TICK_MS / 1000))
                page.click_tile(*path[-1])
                page_finds.append(bs.wait_for(
                    lambda: (lambda f: f[before] if len(f) > before else None)(driver.execute_script("return window.__finds")),
                    "the page's find"))

            for find in ((wire_find, page_find) if game % 2 == 0 else (page_find, wire_find)):
                find()
        print(f"word latency, TCP seat:              {summary(wire_finds)}")
        print(f"word latency, browser seat:          {summary(page_finds)}")
        difference = statistics.median(page_finds) - statistics.median(wire_finds)
        print(f"browser minus TCP at the median:     {difference:+.2f} ms = {difference / TICK_MS:+.2f} dispatch ticks "
              f"(target: within one tick)")
    finally:
        if driver:
            driver.quit()
        server.terminate()
        server.wait(5)
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    try:
        main()
    except bs.Failure as e:
        sys.exit(f"bench_web: {e}")
