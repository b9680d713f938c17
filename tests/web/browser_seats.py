#!/usr/bin/python3
"""Two browser pages and a window play one game at zarvex-server.

A real zarvex-server, the game's own windows (zarvex-windowprobe, joined with
the three arguments) and two pages in headless Chromium, one the size of a
phone (390 x 844) and one of a desktop (1280 x 800): the desktop page takes
seat 1 and starts the game, the phone finds the word by clicking its tiles,
the window shows the find, chat goes both ways, and the phone, reloaded, is
back in its seat with its score.

Everything stays on 127.0.0.1: the browser resolves no other name and has a
profile, a temporary folder and no D-Bus of its own. Exit status 77 (a skip
for CTest) only when the browser cannot be started, with the reason.
"""

import argparse
import json
import os
import random
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77


def skip(reason):
    print(f"SKIP: {reason}")
    sys.exit(SKIP)


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)


def wait_for(condition, what, timeout=15.0):
    """Polls condition() until it answers something true; answers that."""
    end = time.monotonic() + timeout
    last_error = None
    while time.monotonic() < end:
        try:
            value = condition()
            if value:
                return value
        except Exception as e:  # an element not there yet, a page reloading
            last_error = e
        time.sleep(0.05)
    raise Failure(f"timed out waiting for {what}" + (f" ({last_error})" if last_error else ""))


def free_port():
    """A port nothing listens on, from below the range the kernel hands out
    to outgoing connections, so that no other test's connection can take it
    before the program listens there."""
    try:
        with open("/proc/sys/net/ipv4/ip_local_port_range") as f:
            low = int(f.read().split()[0])
    except (OSError, ValueError, IndexError):
        low = 32768
    first, span = (low - 10000, 10000) if low > 11024 else (1024, max(low - 1024, 1))
    for _ in range(200):
        port = first + random.randrange(span)
        family, address = (socket.AF_INET6, "::") if socket.has_ipv6 else (socket.AF_INET, "0.0.0.0")
        try:
            with socket.socket(family, socket.SOCK_STREAM) as s:
                s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
                if family == socket.AF_INET6:
                    s.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_V6ONLY, 0)
                s.bind((address, port))
                return port
        except OSError:
            continue
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def quiet_environment(folder):
    """The environment of the browser and the programs: a temporary folder of
    their own and no D-Bus (a bus that goes away under Chromium aborts it)."""
    env = dict(os.environ)
    env.pop("DBUS_SESSION_BUS_ADDRESS", None)
    env["DBUS_SYSTEM_BUS_ADDRESS"] = "unix:path=/nonexistent/zarvex-test-uses-no-bus"
    env["TMPDIR"] = folder
    return env


# Flags that keep the browser on this machine and quiet: no name resolves
# but 127.0.0.1, no background fetches, updates or sync.
BROWSER_FLAGS = [
    "--headless=new", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--disable-default-apps", "--disable-extensions", "--mute-audio",
    "--host-resolver-rules=MAP * ~NOTFOUND , EXCLUDE 127.0.0.1",
]


def start_browser(webdriver, service_class, folder, width, height, mobile):
    profile = tempfile.mkdtemp(prefix="profile-", dir=folder)
    options = webdriver.ChromeOptions()
    options.binary_location = shutil.which("chromium") or "/usr/bin/chromium"
    for flag in BROWSER_FLAGS + [f"--user-data-dir={profile}", f"--window-size={width},{height}"]:
        options.add_argument(flag)
    driver_path = shutil.which("chromedriver") or "/usr/bin/chromedriver"
    service = service_class(driver_path, env=quiet_environment(folder))
    driver = webdriver.Chrome(service=service, options=options)
    # The page's own size, whatever the browser's frame takes.
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": width, "height": height, "deviceScaleFactor": 1,
                            "mobile": mobile})
    if mobile:
        driver.execute_cdp_cmd("Emulation.setTouchEmulationEnabled", {"enabled": True, "maxTouchPoints": 5})
    return driver


class Window:
    """zarvex-windowprobe: the game's windows, their state read line by line."""

    def __init__(self, program, arguments, folder):
        home = tempfile.mkdtemp(prefix="home-", dir=folder)
        runtime = tempfile.mkdtemp(prefix="run-", dir=folder)
        os.chmod(runtime, 0o700)
        env = quiet_environment(folder)
        env.update({"ZARVEX_HOME": home, "XDG_RUNTIME_DIR": runtime, "QT_QPA_PLATFORM": "offscreen"})
        self.process = subprocess.Popen([program] + arguments, env=env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.state = {"seats": [], "chat": ""}
        self.boxes = []
        self.lock = threading.Lock()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            try:
                shown = json.loads(line)
            except ValueError:
                continue
            with self.lock:
                if "box" in shown:
                    self.boxes.append(shown["box"])
                else:
                    self.state = shown

    def seat(self, n):
        with self.lock:
            seats = self.state["seats"]
            return seats[n - 1] if len(seats) >= n else {"name": "", "score": "", "bonus": ""}

    def chat(self):
        with self.lock:
            return self.state["chat"]

    def say(self, text):
        self.process.stdin.write("say " + text + "\n")
        self.process.stdin.flush()

    def stop(self):
        try:
            self.process.stdin.close()
        except OSError:
            pass
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            self.process.kill()


class Page:
    def __init__(self, driver, url, by):
        self.driver = driver
        self.url = url
        self.By = by

    def css(self, selector):
        return self.driver.find_element(self.By.CSS_SELECTOR, selector)

    def js(self, script, *args):
        return self.driver.execute_script(script, *args)

    def join(self, name):
        self.driver.get(self.url)
        field = wait_for(lambda: self.css("#playername"), "the name field")
        check(self.js("return document.querySelector('label[for=playername]').textContent") == "Your name",
              "the name field is labelled Your name")
        field.send_keys(name)
        self.css("#joinform button[type=submit]").click()

    def my_seat(self):
        return self.js("const me = document.querySelector('#seats li.me'); return me ? Number(me.dataset.seat) : 0")

    def row(self, seat):
        return self.js("""const li = document.querySelector(`#seats li[data-seat="${arguments[0]}"]`);
                          return {name: li.querySelector('.name').textContent,
                                  score: li.querySelector('.score').textContent,
                                  found: li.classList.contains('foundit')};""", seat)

    def chat(self):
        return self.js("return document.getElementById('mainchat').textContent")

    def status(self):
        return self.js("return document.getElementById('label_status').textContent")

    def say(self, text):
        field = self.css("#mychat")
        field.send_keys(text)
        self.css("#chatform button[type=submit]").click()

    def board(self):
        """The tiles' letters by (column, row), and the word's letters."""
        return self.js("""const tiles = {};
            for (const t of document.querySelectorAll('#paintbox_board .tile'))
              tiles[t.dataset.column + ',' + t.dataset.row] = t.textContent;
            const word = [...document.querySelectorAll('#slots .slot')].map((s) => s.textContent).join('');
            return {tiles, word};""")

    def click_tile(self, column, row):
        self.css(f'#paintbox_board .tile[data-column="{column}"][data-row="{row}"]').click()


def find_straight(tiles, word):
    """The tiles of the word in a straight line, in order; None when it is not on the board."""
    letters = {tuple(map(int, k.split(","))): v for k, v in tiles.items()}
    for (c, r), letter in letters.items():
        if letter != word[0]:
            continue
        for dc in (-1, 0, 1):
            for dr in (-1, 0, 1):
                if dc == dr == 0:
                    continue
                path = [(c + dc * k, r + dr * k) for k in range(len(word))]
                if all(letters.get(p) == word[k] for k, p in enumerate(path)):
                    return path
    return None


def run(args, folder):
    try:
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
        from selenium.webdriver.common.by import By
    except ImportError as e:
        skip(f"python3-selenium is not installed for {sys.executable}: {e}")
    if not (shutil.which("chromium") or os.path.exists("/usr/bin/chromium")):
        skip("Debian's chromium is not installed")
    if not (shutil.which("chromedriver") or os.path.exists("/usr/bin/chromedriver")):
        skip("Debian's chromium-driver is not installed")

    game_port, web_port = free_port(), free_port()
    server = subprocess.Popen([args.server, "--port", str(game_port), "--web-port", str(web_port), "--no-announce"],
                              env=quiet_environment(folder), stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    drivers = []
    window = None
    try:
        check("listening" in server.stdout.readline(), "zarvex-server listens")
        url = f"http://127.0.0.1:{web_port}/"
        try:
            desk_driver = start_browser(webdriver, Service, folder, 1280, 800, False)
            drivers.append(desk_driver)
            phone_driver = start_browser(webdriver, Service, folder, 390, 844, True)
            drivers.append(phone_driver)
        except Exception as e:  # the browser itself cannot run here
            skip(f"headless Chromium cannot start: {str(e).splitlines()[0] if str(e) else type(e).__name__}")
        desk = Page(desk_driver, url, By)
        phone = Page(phone_driver, url, By)

        # The desktop page takes seat 1 and with it the host's controls.
        desk.join("Dora")
        wait_for(lambda: desk.my_seat() == 1, "the desktop page in seat 1")
        phone.join("Pip")
        wait_for(lambda: phone.my_seat() == 2, "the phone in seat 2")
        window = Window(args.window, ["Ann", f"127.0.0.1:{game_port}", "join"], folder)
        wait_for(lambda: window.seat(3)["name"] == "Ann" and window.seat(2)["name"] == "Pip"
                 and window.seat(1)["name"] == "Dora", "the window showing the three players")
        wait_for(lambda: desk.row(3)["name"] == "Ann" and phone.row(1)["name"] == "Dora", "the pages showing the others")

        # The phone's layout: no sideways scrolling, tiles big enough to hit.
        check(phone.js("return document.documentElement.scrollWidth <= innerWidth"), "no horizontal scrolling at 390 px")
        tile = phone.js("const r = document.querySelector('#paintbox_board .tile').getBoundingClientRect(); return [r.width, r.height]")
        check(min(tile) >= 32, f"tiles of at least 32 px on the phone ({tile})")

        # Chat both ways between the window and a page.
        window.say("hello from the window")
        wait_for(lambda: "hello from the window" in phone.chat(), "the window's line in the phone's chat")
        phone.say("hi from the phone")
        wait_for(lambda: "hi from the phone" in window.chat(), "the phone's line in the window's chat")
        wait_for(lambda: "hi from the phone" in desk.chat(), "the phone's line in the desktop page's chat")

        # The host starts a straight game from the page's dialog.
        desk.css("#button_start").click()
        wait_for(lambda: desk.js("return document.getElementById('startdialog').open"), "the game options")
        desk.css("#startform button[value=start]").click()
        board = wait_for(lambda: (lambda b: b if b["word"] and all(b["tiles"].values()) else None)(phone.board()),
                         "a board and a word on the phone")
        path = find_straight(board["tiles"], board["word"])
        check(path is not None, f"the word {board['word']} lies in a straight line")
        wait_for(lambda: phone.js("return document.body.classList.contains('myturn')"), "the phone's turn")
        for column, row in path:
            phone.click_tile(column, row)
        found = wait_for(lambda: (lambda r: r if r["found"] and r["score"] not in ("", "0") else None)(phone.row(2)),
                         "the phone's find on the phone")
        score = found["score"]
        wait_for(lambda: window.seat(2)["score"] == score and window.seat(2)["bonus"] == "+" + score,
                 f"the window showing the phone's find ({score})")
        wait_for(lambda: desk.row(2)["score"] == score, "the desktop page showing the phone's find")
        if args.shots:
            phone.js("window.scrollTo(0, 0)")
            desk_driver.save_screenshot(os.path.join(args.shots, "page-desktop.png"))
            phone_driver.save_screenshot(os.path.join(args.shots, "page-phone.png"))

        # A reload: the name is remembered and the seat comes back with its score.
        phone_driver.refresh()
        wait_for(lambda: phone.my_seat() == 2 and phone.row(2)["score"] == score, "the reloaded phone back in seat 2")
        check(phone.row(2)["name"] == "Pip", "the reloaded phone under its name")
        wait_for(lambda: window.seat(2)["name"] == "Pip" and window.seat(2)["score"] == score,
                 "the window showing Pip back in seat 2 with the score")

        # Away to another page and back: the page put aside lets its seat go
        # (it does not sit there unplayed) and takes it back when shown.
        phone_driver.get("data:text/html,<title>elsewhere</title>")
        wait_for(lambda: desk.row(2)["name"] == "<Waiting>", "the phone's seat let go while it is away")
        phone_driver.back()
        wait_for(lambda: phone.my_seat() == 2 and phone.row(2)["score"] == score and desk.row(2)["name"] == "Pip",
                 "the phone back in seat 2 after coming back to the page")
        print("PASS: a find, chat both ways, a reload and a visit elsewhere back to the seat with its score "
              f"(word {board['word']}, score {score})")
    finally:
        for d in drivers:
            try:
                d.quit()
            except Exception:
                pass
        if window:
            window.stop()
        server.terminate()
        try:
            server.wait(5)
        except subprocess.TimeoutExpired:
            server.kill()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--server", required=True)
    parser.add_argument("--window", required=True)
    parser.add_argument("--shots", help="a folder for screenshots of both pages during the round")
    args = parser.parse_args()
    folder = tempfile.mkdtemp(prefix="zarvex-browser-")
    started = time.monotonic()
    try:
        run(args, folder)
    except Failure as e:
        print(f"FAIL: {e}")
        sys.exit(1)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    print(f"took {time.monotonic() - started:.1f} s")


if __name__ == "__main__":
    main()
