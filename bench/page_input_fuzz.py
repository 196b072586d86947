#!/usr/bin/env python3
"""The page's own readers of outside input, fuzzed for a while in headless Chromium: the
wallpaper programs' listener calls (any name, any value, any file list) and links (any
fragment). Each round sends a burst of random calls or opens a random link, then checks
that nothing threw, the run still steps and its settings are in range.

usage: page_input_fuzz.py SITE_DIR MINUTES [SEED]
Prints one line per minute and, at the end, the rounds run and any failure with the
seed and round that make it again.
"""
import json
import os
import random
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "host", "web"))
import page_test  # noqa: E402

NAMES = ["rule", "style", "color", "onecolor", "seed", "speed", "fieldsize", "lights", "wrap", "pictures", "cycling",
         "picturefolder", "reset", "resettime", "family", "ruletext", "__proto__", "constructor", "toString", "", "x"]


def odd_value(rng):
    pick = rng.randrange(9)
    if pick == 0:
        return rng.choice([None, True, False, [], {}, "", "NaN"])
    if pick == 1:
        return rng.randint(-5, 40)
    if pick == 2:
        return rng.choice([1e9, -1e9, 2 ** 53, 0.5, -0.0, 1e-9])
    if pick == 3:
        return "Pictures\\" + "".join(rng.choice("ab.#%/\\ \u00e9") for _ in range(rng.randint(0, 40)))
    if pick == 4:
        return "".join(chr(rng.randint(32, 0x2FF)) for _ in range(rng.randint(0, 60)))
    if pick == 5:
        return [rng.randint(0, 3), "x"]
    if pick == 6:
        return {"value": rng.randint(0, 3)}
    if pick == 7:  # rules, good and bad, in any spelling
        return "".join(rng.choice("BSCbsc0123456789/-aceijknqrtwyzHV: ") for _ in range(rng.randint(0, 24)))
    return str(rng.randint(-100, 2000))


def odd_link(rng):
    parts = []
    for _ in range(rng.randint(0, 4)):
        key = rng.choice(["s", "seed", "steps", "paused", "x", ""])
        if key == "s":
            values = [str(odd_value(rng)) if rng.random() < 0.3 else str(rng.randint(-10, 2000))
                      for _ in range(rng.randint(0, 22))]
            if len(values) == 19 or rng.random() < 0.2:  # a 19th value: a rule, or not
                values = values[:18] + [odd_value(rng) if rng.random() < 0.5 else "B36%2FS23"]
                values = [str(v) for v in values]
            parts.append("s=" + ",".join(values))
        elif key in ("seed", "steps"):
            parts.append(key + "=" + rng.choice([str(rng.randint(-10 ** 12, 10 ** 12)), "", "1e9", "-", "9" * 30]))
        else:
            parts.append(key)
    return "#" + "&".join(parts).replace("#", "%23")


def main():
    site, minutes = sys.argv[1], float(sys.argv[2])
    seed = int(sys.argv[3]) if len(sys.argv) > 3 else int(time.time())
    server = page_test.serve(site)
    base = f"http://127.0.0.1:{server.server_address[1]}/index.html"
    b = page_test.Browser()
    failures, rounds, start, last_print = [], 0, time.time(), time.time()
    try:
        b.open(base)
        while time.time() - start < minutes * 60 and not failures:
            rng = random.Random(f"{seed}:{rounds}")
            if rng.random() < 0.2:
                link = odd_link(rng)
                b.open(base + link)
                what = "link " + link
            else:
                calls = [[rng.random() < 0.5, rng.choice(NAMES), odd_value(rng)] for _ in range(rng.randint(1, 60))]
                files = [odd_value(rng) for _ in range(rng.randint(0, 4))]
                what = f"calls {json.dumps(calls)[:300]}"
                thrown = b.js(f"""(() => {{
                    for (const [lively, name, value] of {json.dumps(calls)}) {{
                      const v = value === 'NaN' ? NaN : value;
                      try {{
                        if (lively) livelyPropertyListener(name, v);
                        else wallpaperPropertyListener.applyUserProperties(JSON.parse(
                          '{{' + JSON.stringify(name) + ': {{"value": ' + JSON.stringify(v) + '}}}}'));
                      }} catch (e) {{ return name + ': ' + e; }}
                    }}
                    try {{ wallpaperPropertyListener.userDirectoryFilesAddedOrChanged('picturefolder', {json.dumps(files)});
                          wallpaperPropertyListener.userDirectoryFilesRemoved('picturefolder', {json.dumps(files[:1])}); }}
                    catch (e) {{ return 'folder: ' + e; }}
                    return ''; }})()""")
                if thrown:
                    failures.append(f"round {rounds}: {thrown}")
                time.sleep(0.4)
            time.sleep(0.3)
            info = b.js("orvexPage.info()")
            steps, runs = info["steps"], b.js("orvexPage.runs")
            ok = (100 <= info["fieldSize"] <= 1000 and 1 <= info["speed"] <= 25 and 0 <= info["family"] <= 2
                  and 0 <= info["rule"] <= 11 and 1025 <= info["drawStyle"] <= 1028)
            if not ok:
                failures.append(f"round {rounds}: settings out of range after {what}: {info}")
            errors = b.js("orvexPage.errors.splice(0)")
            if errors:
                failures.append(f"round {rounds}: the page's script failed after {what}: {errors}")
            if not b.js("orvexPage.info().stepsLeft") and not b.js("document.getElementById('progress').hidden"):
                failures.append(f"round {rounds}: progress line left after {what}")
            if b.js("document.getElementById('pause').textContent") == "Pause":  # not a paused link's page
                # speed 1 steps every 750 ms; a dense field of 1000 in software GL may take seconds a frame
                try:
                    # (a restart still to come starts the count again)
                    b.wait(f"orvexPage.info().steps > {steps} || orvexPage.info().stepsLeft > 0 || "
                           f"orvexPage.runs > {runs}", 15)
                except AssertionError:
                    failures.append(f"round {rounds}: the run stopped after {what}: {b.js('orvexPage.shown()')!r} "
                                    f"{b.js('JSON.stringify([orvexPage.info(), orvexPage.errors, orvexPage.runs])')}")
            rounds += 1
            if time.time() - last_print >= 60:
                print(f"{(time.time() - start) / 60:.0f} min: {rounds} rounds", flush=True)
                last_print = time.time()
    finally:
        b.close()
        server.shutdown()
    print(f"seed {seed}: {rounds} rounds in {(time.time() - start) / 60:.1f} min, {len(failures)} failures")
    for f in failures:
        print("FAIL", f)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
