#!/usr/bin/env python3
"""The page in headless chromium: loads without console errors, a preset
plays through the AudioWorklet, dragging a section changes the spectrum, the
page's engine renders the built-in score as the native engine does, and a
screenshot is saved. Prints the engine's real-time margin at 17 and 40 sections.

usage: test_page.py SITE_DIR NATIVE_QUORVEL SCREENSHOT_PNG
Exit status 77 (skipped) when chromium or its driver is not installed.
"""
import functools
import http.server
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time

SKIP = 77


def read_float_wav(path):
    """Samples of a 32-bit float mono WAV file."""
    data = open(path, "rb").read()
    pos = 12
    while pos + 8 <= len(data):
        tag, size = data[pos:pos + 4], struct.unpack("<I", data[pos + 4:pos + 8])[0]
        if tag == b"data":
            return list(struct.unpack("<%df" % (size // 4), data[pos + 8:pos + 8 + size]))
        pos += 8 + size + (size & 1)
    raise ValueError("no data chunk in " + path)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def serve(site):
    handler = functools.partial(QuietHandler, directory=site)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server


def browser(profile_dir):
    try:
        from selenium import webdriver
        from selenium.webdriver.chrome.service import Service
    except ImportError:
        print("SKIP: python3-selenium is not installed")
        sys.exit(SKIP)
    chromium = shutil.which("chromium")
    driver_bin = shutil.which("chromedriver") or "/usr/bin/chromedriver"
    if not chromium or not os.path.exists(driver_bin):
        print("SKIP: chromium and chromium-driver are not installed")
        sys.exit(SKIP)
    opts = webdriver.ChromeOptions()
    opts.binary_location = chromium
    for a in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
              "--disable-background-networking", "--disable-component-update", "--disable-sync",
              "--autoplay-policy=no-user-gesture-required", "--window-size=1400,1000",
              "--user-data-dir=" + profile_dir):
        opts.add_argument(a)
    opts.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    return webdriver.Chrome(service=Service(driver_bin), options=opts)


def wait_for(driver, expr, timeout=20):
    end = time.time() + timeout
    while time.time() < end:
        v = driver.execute_script("return " + expr)
        if v:
            return v
        time.sleep(0.1)
    state = driver.execute_script(
        "return [document.getElementById('status').textContent, window.vt && window.vt.errors]")
    raise AssertionError("timed out waiting for %s (page status %s)" % (expr, state))


def run_async(driver, body):
    driver.set_script_timeout(60)
    return driver.execute_async_script(
        "const done = arguments[arguments.length - 1];"
        "(async () => {" + body + "})().then(done, (e) => done({error: String(e)}));")


def spectrum(driver):
    time.sleep(0.6)  # the displays follow the sound every 60 ms; let the tract settle
    return driver.execute_script("return Array.from(window.vt.spectrum)")


def main(site, quorvel, screenshot):
    failures = []

    def check(ok, what):
        print(("ok   " if ok else "FAIL ") + what)
        if not ok:
            failures.append(what)

    with tempfile.TemporaryDirectory() as tmp:
        ref_wav = os.path.join(tmp, "ref.wav")
        subprocess.run([quorvel, "--raw", "-o", ref_wav], check=True, stdout=subprocess.DEVNULL)
        native = read_float_wav(ref_wav)
        server = serve(site)
        driver = browser(os.path.join(tmp, "profile"))
        try:
            driver.get("http://127.0.0.1:%d/index.html" % server.server_port)
            wait_for(driver, "window.vt && window.vt.ready")

            page = run_async(driver, "return Array.from(await window.vt.reference());")
            rms = math.sqrt(sum(v * v for v in native) / len(native))
            worst = max((abs(a - b) for a, b in zip(page, native)), default=math.inf)
            same = sum(a == b for a, b in zip(page, native))
            print("built-in score: %d samples, %d identical, largest difference %.3g (RMS %.3g)"
                  % (len(page), same, worst, rms))
            check(len(page) == len(native) and worst <= 1e-5 * rms,
                  "page engine renders the built-in score as the native engine")

            driver.find_element("id", "play").click()
            wait_for(driver, "window.vt.worklet.played > 3000")
            mode = driver.execute_script("return window.vt.mode")
            peak = driver.execute_script("return window.vt.worklet.peak")
            check(mode == "worklet" and peak > 0.01,
                  "a preset plays through the AudioWorklet (peak %.3g)" % peak)

            before = spectrum(driver)
            f_before = driver.execute_script("return window.vt.formants.map(f => f.f)")
            check(len(f_before) >= 3 and 500 < f_before[0] < 1000,
                  "model formants of the preset /ɑ/ marked: %s Hz" % [round(f) for f in f_before[:4]])
            driver.save_screenshot(screenshot)
            check(os.path.getsize(screenshot) > 10000, "screenshot saved to " + screenshot)
            from selenium.webdriver import ActionChains
            canvas = driver.find_element("id", "profile")
            w, h = canvas.size["width"], canvas.size["height"]
            # Close section 12 of 17 almost completely: drag it to the midline.
            x = int((12.5 / 17 - 0.5) * w)
            ActionChains(driver).move_to_element_with_offset(canvas, x, -h // 2 + 20) \
                .click_and_hold().move_by_offset(0, h // 2 - 22).release().perform()
            area = driver.execute_script("return window.vt.areas[12]")
            after = spectrum(driver)
            change = sum(abs(a - b) for a, b in zip(before, after)) / len(before)
            check(area < 0.05 and change > 3,
                  "dragging section 12 to %.3g cm² changes the spectrum by %.1f dB on average"
                  % (area, change))
            f_after = driver.execute_script("return window.vt.formants.map(f => f.f)")
            check(f_after and f_after[0] < f_before[0] - 100,
                  "the constriction lowers F1 (%.0f -> %.0f Hz)" % (f_before[0], f_after[0] if f_after else 0))

            # Nasal branch with the port open: the voice restarts and keeps playing.
            gen = driver.execute_script("return window.vt.generation")
            driver.find_element("id", "nasal").click()
            driver.execute_script("const v = document.getElementById('velum'); v.value = 0.5;"
                                  "v.dispatchEvent(new Event('input'));")
            wait_for(driver, "window.vt.generation > %d && window.vt.worklet.played > 3000" % gen)
            check(driver.execute_script("return window.vt.playing && window.vt.mode === 'worklet'"),
                  "nasal branch with a 0.5 cm² port plays")

            # Fallback player: one rendered second after another.
            driver.find_element("id", "play").click()
            driver.execute_script("window.vt.forceFallback = true")
            driver.find_element("id", "play").click()
            wait_for(driver, "window.vt.mode === 'fallback' && window.vt.worklet.played > %d + 20000"
                     % driver.execute_script("return window.vt.worklet.played"))
            check(True, "fallback player renders a second at a time")

            driver.find_element("id", "play").click()
            for nvt in (17, 40):
                r = run_async(driver, "return await window.vt.bench(%d, 2);" % nvt)
                print("real-time margin at %d sections: %.2f rendered seconds per second"
                      % (nvt, r["ratio"]))

            logs = [e for e in driver.get_log("browser") if e["level"] == "SEVERE"]
            errors = driver.execute_script("return window.vt.errors")
            check(not logs and not errors, "no console errors %s" % (logs + errors))
        finally:
            driver.quit()
            server.shutdown()
    return 1 if failures else 0


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
