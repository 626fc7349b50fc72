#!/usr/bin/python3
"""The web edition in headless Chromium: the page's controls and
dropcalc.run() against the native dropcalc-cli on the same folder.

    page_test.py --site build-web/site --cli build/dropcalc-cli [--shots DIR]
    page_test.py --site build-web/site --cli build/dropcalc-cli --bench

Serves the site on 127.0.0.1, drives the page with Selenium and prints one
line a check; exits 1 when one fails. The checks assert nothing of how long
anything takes, which depends on what else the machine runs; --bench prints
those times against their limits instead, and exits 1 when one is over.
"""
import argparse
import functools
import http.server
import json
import os
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import unittest

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

ARGS = None
SAMPLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "examples", "data")
HOSTILE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "hostile.js")

# Every kind of run: (arguments after --data, ...). Names are the sample's.
RUNS = [
    ["list", "monsters"],
    ["list", "items"],
    ["list", "base-sets"],
    ["list", "uniques"],
    ["monster", "Cave Lurker"],
    ["--difficulty", "hell", "--sort", "name", "monster", "Ember Drake"],
    ["--difficulty", "normal,nightmare,hell", "item", "Ring"],
    ["--mf", "200", "unique-item", "Coil of Embers"],
    ["--difficulty", "nightmare", "unique-monster", "Bog Wight"],
    ["--mf", "100", "set-item", "Ashen Vigil", "Ashen Vigil Cowl"],
    ["set-monster", "Cow Warden"],
    ["set-items", "Ashen Vigil"],
    ["--wide", "item", "Cap"],
    ["--format", "json", "item", "Ring"],
    ["--format", "tsv", "--decimal-separator", ",", "item", "Cap"],
    ["monster", "no such monster"],
    ["check"],
    ["mf", "200"],
    ["mf", "abc"],
    ["--difficulty", "", "item", "Ring"],
    ["--sort", "sideways", "item", "Ring"],
    ["--version"],
]

# The searches through the page's controls: tab, box ids and texts,
# difficulties to tick, and the arguments the native tool gets.
CONTROLS = [
    ("tab-normal", {"mon": "Cave Lurker"}, ["hell"], ["--difficulty", "hell", "monster", "Cave Lurker"]),
    ("tab-normal", {"item": "Ring"}, ["normal", "nightmare", "hell"],
     ["--difficulty", "normal,nightmare,hell", "item", "Ring"]),
    ("tab-set", {"base-set": "Ashen Vigil", "set-item": "Ashen Vigil Band"}, ["normal", "hell"],
     ["--mf", "150", "--difficulty", "normal,hell", "set-item", "Ashen Vigil", "Ashen Vigil Band"]),
    ("tab-set", {"set-mon": "Ember Drake"}, ["nightmare"],
     ["--mf", "150", "--difficulty", "nightmare", "set-monster", "Ember Drake"]),
    ("tab-unique", {"uni-mon": "Cow Warden"}, ["normal"],
     ["--mf", "150", "--difficulty", "normal", "unique-monster", "Cow Warden"]),
    ("tab-unique", {"uni-item": "Coil of Embers"}, ["nightmare", "hell"],
     ["--mf", "150", "--difficulty", "nightmare,hell", "unique-item", "Coil of Embers"]),
]


# What the page's times should stay within, in ms, on a machine that runs
# nothing else (--bench): the first answer on the sample data after opening
# the page, loading a folder of 427 files, and the longest pause of the page
# while a 200 MB file is read.
READY_LIMIT_MS = 1000
LOAD_LIMIT_MS = 1000
PAUSE_LIMIT_MS = 250


def native(data, args):
    done = subprocess.run([ARGS.cli, "--data", data, *args], capture_output=True,
                          env={**os.environ, "LC_ALL": "C"}, check=False)
    return done.stdout, done.stderr, done.returncode


def copy_sample(into):
    shutil.copytree(SAMPLE, into)
    return into


class Quiet(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


class Page(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        handler = functools.partial(Quiet, directory=ARGS.site)
        cls.server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
        threading.Thread(target=cls.server.serve_forever, daemon=True).start()
        cls.url = "http://127.0.0.1:%d/" % cls.server.server_address[1]
        cls.tmp = tempfile.mkdtemp(prefix="dropcalc-web-")
        options = webdriver.ChromeOptions()
        for arg in ("--headless=new", "--no-sandbox", "--lang=en-US", "--window-size=1280,900",
                    "--disable-gpu", "--disable-dev-shm-usage"):
            options.add_argument(arg)
        options.add_experimental_option("prefs", {"download.default_directory": cls.tmp,
                                                  "intl.accept_languages": "en-US"})
        options.binary_location = "/usr/bin/chromium"
        cls.driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"),
                                      options=options)
        cls.driver.set_script_timeout(120)

    @classmethod
    def tearDownClass(cls):
        cls.driver.quit()
        cls.server.shutdown()
        shutil.rmtree(cls.tmp, ignore_errors=True)

    def open_page(self, fragment=""):
        self.driver.get(self.url + fragment)
        WebDriverWait(self.driver, 20).until(
            lambda d: d.execute_script("return document.body.dataset.loaded === 'true'"))

    def load_sample(self):
        self.open_page()
        self.driver.find_element(By.ID, "sample").click()
        self.wait_ready()

    def wait_ready(self, seconds=30):
        WebDriverWait(self.driver, seconds).until(
            lambda d: d.execute_script("return document.body.dataset.ready === 'true'"))

    def run_in_page(self, args):
        result = self.driver.execute_async_script(
            "const done = arguments[arguments.length - 1];"
            "dropcalc.run(arguments[0]).then(r => done({stdout: Array.from(r.stdout),"
            " stderr: Array.from(r.stderr), status: r.status}), e => done({error: String(e)}));",
            args)
        self.assertNotIn("error", result)
        return bytes(result["stdout"]), bytes(result["stderr"]), result["status"]

    def list_text(self):
        return self.driver.execute_script("return document.getElementById('list').textContent")

    def test_runs_print_what_the_tool_prints(self):
        self.load_sample()
        for args in RUNS:
            with self.subTest(args=args):
                self.assertEqual(self.run_in_page(["--data", "sample", *args]), native(SAMPLE, args))

    def test_controls_list_what_the_tool_prints(self):
        self.load_sample()
        d = self.driver
        mf = d.find_element(By.ID, "mf")
        mf.clear()
        mf.send_keys("150")
        for tab, boxes, difficulties, args in CONTROLS:
            with self.subTest(args=args):
                d.find_element(By.ID, tab).click()
                form = None
                for box_id, text in boxes.items():
                    box = d.find_element(By.ID, box_id)
                    form = box.find_element(By.XPATH, "./ancestor::form")
                    if box.tag_name == "select":
                        WebDriverWait(d, 10).until(lambda _: text in box.text)
                        box.find_element(By.XPATH, "./option[. = '%s']" % text).click()
                    else:
                        box.clear()
                        box.send_keys(text)
                        if box_id == "base-set":
                            box.send_keys(Keys.TAB)  # the set items follow the base set
                for difficulty in form.find_elements(By.CSS_SELECTOR, ".difficulties input"):
                    if difficulty.is_selected() != (difficulty.get_attribute("value") in difficulties):
                        difficulty.click()
                d.execute_script("document.getElementById('list').textContent = 'waiting'")
                # Enter in the last box searches, as the Search button does.
                d.find_element(By.ID, list(boxes)[-1]).send_keys(Keys.ENTER) \
                    if "set-item" not in boxes else form.find_element(By.TAG_NAME, "button").click()
                WebDriverWait(d, 10).until(lambda _: self.list_text() != "waiting")
                self.assertEqual(self.list_text(), native(SAMPLE, args)[0].decode())

    def test_sort_separator_magic_find_and_csv(self):
        self.load_sample()
        d = self.driver
        d.find_element(By.ID, "item").send_keys("Cap", Keys.ENTER)
        WebDriverWait(d, 10).until(lambda _: self.list_text() != "")
        d.find_element(By.CSS_SELECTOR, "input[name='sort'][value='name']").click()
        want = native(SAMPLE, ["--sort", "name", "item", "Cap"])[0].decode()
        WebDriverWait(d, 10).until(lambda _: self.list_text() == want)
        self.assertEqual(d.find_element(By.ID, "head-first").text, "Name")
        d.find_element(By.ID, "wide").click()
        want = native(SAMPLE, ["--sort", "name", "--wide", "item", "Cap"])[0].decode()
        WebDriverWait(d, 10).until(lambda _: self.list_text() == want)
        d.find_element(By.ID, "csv").click()
        path = os.path.join(self.tmp, "drop-chances.csv")
        WebDriverWait(d, 10).until(lambda _: os.path.exists(path))
        with open(path, newline="", encoding="utf-8") as f:
            csv = f.read()
        rows = ["Name,% Drop Chance"] + [line.replace(" " * 10, ",", 1) for line in want.splitlines()]
        self.assertEqual(csv, "\r\n".join(rows) + "\r\n")
        mf = d.find_element(By.ID, "mf")
        mf.clear()
        mf.send_keys("200", Keys.ENTER)
        want = native(SAMPLE, ["mf", "200"])[0].decode().split()
        WebDriverWait(d, 10).until(lambda _: d.find_element(By.ID, "real-unique").text == want[0])
        self.assertEqual([d.find_element(By.ID, i).text for i in ("real-unique", "real-set", "real-rare")],
                         want)

    def test_error_shows_its_place_and_hint(self):
        broken = copy_sample(os.path.join(self.tmp, "broken"))
        with open(os.path.join(broken, "Normal", "lurker.txt"), "a", encoding="ascii") as f:
            f.write("Gold:0.o8\n")
        self.open_page()
        self.driver.find_element(By.ID, "folder-input").send_keys(broken)
        self.wait_ready()
        self.driver.find_element(By.ID, "mon").send_keys("Cave Lurker", Keys.ENTER)
        box = self.driver.find_element(By.ID, "error")
        WebDriverWait(self.driver, 10).until(lambda _: box.is_displayed())
        _, err, status = native(broken, ["monster", "Cave Lurker"])
        self.assertEqual(status, 1)
        self.assertEqual(self.driver.find_element(By.ID, "error-message").text,
                         err.decode().splitlines()[-1])
        where = err.decode().splitlines()[-2]
        self.assertRegex(where, r"^dropcalc-cli: Normal/lurker\.txt:\d+: Gold:0\.o8$")
        path, line, text = where[len("dropcalc-cli: "):].split(":", 2)
        self.assertEqual(self.driver.find_element(By.ID, "error-place").text,
                         "in %s, line %s:\n%s" % (path, line, text.strip()))
        self.assertEqual(self.driver.find_element(By.ID, "error-hint").text,
                         "Correct the file, then press Reload.")
        self.assertEqual(self.list_text(), native(broken, ["monster", "Cave Lurker"])[0].decode())
        # Reload reads the folder again: corrected, the search goes through.
        with open(os.path.join(broken, "Normal", "lurker.txt"), "r+", encoding="ascii") as f:
            text = f.read().replace("Gold:0.o8\n", "")
            f.seek(0)
            f.write(text)
            f.truncate()
        self.driver.execute_script("document.body.dataset.ready = ''")
        self.driver.find_element(By.ID, "reload").click()
        # Files picked through the file input cannot be read again once
        # changed: the page asks for the folder again.
        WebDriverWait(self.driver, 10).until(
            lambda d: "open it again" in d.find_element(By.ID, "data-status").text)
        self.driver.find_element(By.ID, "folder-input").send_keys(broken)
        self.wait_ready()
        WebDriverWait(self.driver, 10).until(lambda _: not box.is_displayed())
        self.assertEqual(self.list_text(), native(broken, ["monster", "Cave Lurker"])[0].decode())

    def read_large_file(self):
        """Loads the sample with a 200 MB drop table whose line 2 is wrong and
        searches it, with a timer ticking on the page every 10 ms meanwhile:
        the run's answer, its time, the ticks and the longest gap between two."""
        self.load_sample()
        result = self.driver.execute_async_script("""
            const done = arguments[arguments.length - 1];
            (async () => {
              const files = [];
              for (const path of await (await fetch('sample/files.json')).json())
                files.push({path, bytes: new Uint8Array(await (await fetch('sample/' + path)).arrayBuffer())});
              // The error on line 2, then 200 MB more.
              const head = new TextEncoder().encode('Gold:0.5\\nGold:0.o8\\n');
              const line = new TextEncoder().encode('Gold:0.5\\n');
              const size = 200 * 1024 * 1024;
              const big = new Uint8Array(head.length + size);
              big.set(line, head.length);
              for (let n = line.length; n < size; n *= 2)
                big.copyWithin(head.length + n, head.length, head.length + Math.min(n, size - n));
              big.set(head);
              files.find(f => f.path === 'Normal/lurker.txt').bytes = big;
              let gap = 0, last = performance.now(), ticks = 0;
              const timer = setInterval(() => {
                const now = performance.now(); gap = Math.max(gap, now - last); last = now; ticks++;
              }, 10);
              const started = performance.now();
              await dropcalc.loadFolder('big', files, {transfer: true});
              const r = await dropcalc.run(['--data', 'big', 'monster', 'Cave Lurker']);
              clearInterval(timer);
              done({stderr: new TextDecoder().decode(r.stderr), status: r.status, gap, ticks,
                    ms: performance.now() - started});
            })().catch(e => done({error: String(e)}));""")
        self.assertNotIn("error", result)
        return result

    def test_large_file_ends_with_its_error_while_the_page_answers(self):
        result = self.read_large_file()
        self.assertEqual(result["status"], 1)
        self.assertEqual(result["stderr"].splitlines()[-2:],
                         ["dropcalc-cli: Normal/lurker.txt:2: Gold:0.o8",
                          "'0.o8' is not a valid floating point value."])
        # The page's own timer ran while the file was read: the work is not
        # on the page's thread, which a run there would hold until its end.
        # A busy machine only makes the read take longer, and the timer tick
        # more times before it ends.
        self.assertGreater(result["ticks"], 0)

    def test_hostile_arguments_and_paths(self):
        self.open_page()
        with open(HOSTILE, encoding="utf-8") as f:
            rows = self.driver.execute_async_script(f.read() + """
                const done = arguments[arguments.length - 1];
                (async () => {
                  const sample = [];
                  for (const path of await (await fetch('sample/files.json')).json())
                    sample.push({path, bytes: new Uint8Array(await (await fetch('sample/' + path)).arrayBuffer())});
                  return hostileRows(dropcalc, sample);
                })().then(done, e => done([{what: 'the rows', got: String(e), want: 'no error'}]));""")
        for row in rows:
            with self.subTest(row["what"]):
                self.assertEqual(row["got"], row["want"])

    def ready_times(self, openings):
        """How long after opening the page on #sample it was ready, in ms, for
        each of `openings` openings."""
        times = []
        for _ in range(openings):
            self.driver.get("about:blank")  # a new document each time, not a jump to #sample
            self.open_page("#sample")
            self.wait_ready()
            times.append(self.driver.execute_script("return Number(document.body.dataset.readyAt)"))
        return times

    def load_many_files(self):
        """Opens a copy of the sample with 400 more drop tables (427 files)
        through the folder input: its folder and the time it took, in ms."""
        many = os.path.join(self.tmp, "many")
        shutil.rmtree(many, ignore_errors=True)
        copy_sample(many)
        for i in range(400):
            shutil.copy(os.path.join(many, "Normal", "lurker.txt"),
                        os.path.join(many, "Normal", "act2", "extra%03d.txt" % i))
        self.driver.execute_script("document.body.dataset.ready = ''")
        self.driver.find_element(By.ID, "folder-input").send_keys(many)
        self.wait_ready()
        return many, self.driver.execute_script("return Number(document.body.dataset.loadMs)")

    def test_ready_on_the_sample_and_a_large_folder_loads(self):
        # The page tells when it got ready and how long the folder took, for
        # --bench to read.
        (ready_at,) = self.ready_times(1)
        self.assertGreater(ready_at, 0)
        many, ms = self.load_many_files()
        self.assertGreaterEqual(ms, 0)
        self.assertEqual(self.run_in_page(["check"]), native(many, ["check"]))

    def test_screenshots_at_phone_and_desktop_width(self):
        self.load_sample()
        d = self.driver
        os.makedirs(ARGS.shots, exist_ok=True)
        for width in (360, 1280):
            d.set_window_size(width, 900)
            d.execute_script("document.getElementById('list').textContent = ''")
            d.find_element(By.ID, "item").clear()
            d.find_element(By.ID, "item").send_keys("Ring", Keys.ENTER)
            WebDriverWait(d, 10).until(lambda _: self.list_text() != "")
            inner = d.execute_script("return document.documentElement.scrollWidth <= innerWidth")
            self.assertTrue(inner, "no sideways scrolling at %d px" % width)
            d.save_screenshot(os.path.join(ARGS.shots, "web-%d.png" % width))
        d.set_window_size(1280, 900)


def bench():
    """The page's times against their limits; 1 when one is over."""
    Page.setUpClass()
    try:
        page = Page()
        times = page.ready_times(3)
        # The best of three openings: another program may delay any one.
        figures = [("page ready on the sample data after opening (best of %s)"
                    % ", ".join("%.0f" % t for t in times), min(times), READY_LIMIT_MS)]
        _, ms = page.load_many_files()
        figures.append(("folder of 427 files loaded", ms, LOAD_LIMIT_MS))
        result = page.read_large_file()
        figures.append(("longest pause of the page while a 200 MB file is read in %.0f ms"
                        " (%d ticks)" % (result["ms"], result["ticks"]), result["gap"],
                        PAUSE_LIMIT_MS))
    finally:
        Page.tearDownClass()
    over = 0
    for what, ms, limit in figures:
        print("%s: %.0f ms (limit %d ms)%s" % (what, ms, limit, "" if ms < limit else ", OVER"))
        over += ms >= limit
    return 1 if over else 0


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--site", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--shots", default="build-web/shots")
    parser.add_argument("--bench", action="store_true", help="print the page's times instead")
    ARGS, rest = parser.parse_known_args()
    if ARGS.bench:
        sys.exit(bench())
    unittest.main(argv=[sys.argv[0], "-v", *rest])


if __name__ == "__main__":
    main()
