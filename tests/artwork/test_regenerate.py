"""Each generator in tools/ run into an empty directory must reproduce the
committed artwork byte for byte, and write nothing else."""

import filecmp
import os
import subprocess
import sys
import tempfile
import unittest

sys.dont_write_bytecode = True  # no __pycache__ beside the tests
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from bmp_file import REPO  # noqa: E402

# generator, folder of the committed files, the files it writes
GENERATORS = [
    ("tools/make_dial_art.py", "gauges/dials",
     ["airspeed_face.bmp", "airspeed_needle.bmp",
      "radtemp_face.bmp", "radtemp_needle.bmp"]),
    ("tools/make_radio_art.py", "gauges/radio",
     ["adf_background.bmp", "com_background.bmp", "lamp.bmp"]
     + ["knob_%d.bmp" % i for i in range(10)]),
    ("tools/make_switch_art.py", "gauges/switch",
     ["switch_background.bmp", "lever_down.bmp", "lever_up.bmp", "klick.wav"]),
]


class Regenerate(unittest.TestCase):
    def test_generators_reproduce_the_committed_files(self):
        for script, folder, files in GENERATORS:
            with self.subTest(generator=script), tempfile.TemporaryDirectory() as out:
                run = subprocess.run([sys.executable, os.path.join(REPO, script), out],
                                     capture_output=True, text=True)
                self.assertEqual(run.returncode, 0, "%s failed:\n%s" % (script, run.stderr))
                self.assertEqual(sorted(os.listdir(out)), sorted(files),
                                 "%s wrote other files than expected" % script)
                for name in files:
                    committed = os.path.join(REPO, folder, name)
                    self.assertTrue(os.path.exists(committed), "%s/%s is missing"
                                    % (folder, name))
                    self.assertTrue(filecmp.cmp(os.path.join(out, name), committed,
                                                shallow=False),
                                    "%s/%s differs from what %s makes now"
                                    % (folder, name, script))


if __name__ == "__main__":
    unittest.main()
