"""Judges a roll-over page in headless Chromium.

Usage: rollover_check.py PAGE OUT_IMAGE OVER_IMAGE

Loads PAGE, requires no console error and every image loaded, then shows that the page's image
is OUT_IMAGE at first, OVER_IMAGE while the pointer is over it and OUT_IMAGE again once the
pointer leaves. Images are compared pixel for pixel through ImageMagick's decoding. Exit code 0
when the page behaves, 1 with the reason on standard error otherwise.
"""

import os
import subprocess
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.by import By

MAGICK = "/usr/bin/convert-im6.q16"


def decode(data_or_path):
    """RGB triples of an image (a path, or PNG bytes), with its size, through ImageMagick."""
    if isinstance(data_or_path, bytes):
        ppm = subprocess.run([MAGICK, "png:-", "ppm:-"], input=data_or_path,
                             capture_output=True, check=True).stdout
    else:
        ppm = subprocess.run([MAGICK, data_or_path, "ppm:-"], capture_output=True,
                             check=True).stdout
    fields = ppm.split(maxsplit=4)
    if fields[0] != b"P6" or fields[3] != b"255":
        raise ValueError("not an 8-bit PPM")
    width, height = int(fields[1]), int(fields[2])
    pixels = fields[4]
    return width, height, [tuple(pixels[i:i + 3]) for i in range(0, 3 * width * height, 3)]


def fail(text):
    sys.stderr.write(text + "\n")
    sys.exit(1)


def wait_for(condition, what):
    deadline = time.monotonic() + 10
    while not condition():
        if time.monotonic() > deadline:
            fail("timed out waiting for " + what)
        time.sleep(0.05)


def main():
    page, out_image, over_image = sys.argv[1:4]
    # Chromium leaves its profile and lock folders under TMPDIR: they go with this folder.
    with tempfile.TemporaryDirectory() as scratch:
        os.environ["TMPDIR"] = scratch
        check(page, out_image, over_image, scratch)


def check(page, out_image, over_image, scratch):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu",
                     "--force-device-scale-factor=1", "--window-size=400,300",
                     "--force-color-profile=srgb", "--user-data-dir=" + scratch + "/profile"):
        options.add_argument(argument)
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    try:
        driver.get("file://" + os.path.abspath(page))
        image = driver.find_element(By.NAME, "img1")
        loaded = ("return Array.from(document.images).every("
                  "i => i.complete && i.naturalWidth > 0)")
        wait_for(lambda: driver.execute_script(loaded), "every image to load")

        def shows(expected, when):
            name = os.path.basename(expected)
            wait_for(lambda: image.get_attribute("src").endswith("/" + name)
                     and driver.execute_script(loaded), when + ": the image " + name)
            shown = decode(image.screenshot_as_png)
            wanted = decode(expected)
            if shown != wanted:
                fail("%s: the page does not show %s (%dx%d shown, %dx%d expected)"
                     % (when, name, shown[0], shown[1], wanted[0], wanted[1]))

        shows(out_image, "at first")
        ActionChains(driver).move_to_element(image).perform()
        shows(over_image, "pointer over the image")
        away = ActionBuilder(driver)
        # The far corner of the viewport, well clear of the image at the top left.
        width, height = driver.execute_script("return [innerWidth, innerHeight]")
        away.pointer_action.move_to_location(width - 2, height - 2)
        away.perform()
        shows(out_image, "pointer away again")

        errors = [entry["message"] for entry in driver.get_log("browser")
                  if entry["level"] == "SEVERE"]
        if errors:
            fail("console errors: " + "; ".join(errors))
    finally:
        driver.quit()


if __name__ == "__main__":
    main()
