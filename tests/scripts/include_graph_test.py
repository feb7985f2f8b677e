#!/usr/bin/env python3
"""scripts/include-graph on small trees: what it must refuse, and what it must let pass."""
import os
import subprocess
import sys
import tempfile

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts",
                      "include-graph")

# name, {file: text}, whether the check passes, a word its report must hold
CASES = [
    ("downward includes pass",
     {"link/A.cpp": '#include "link/A.h"\n#include "platform/P.h"\n', "link/A.h": "",
      "platform/P.h": "", "ui/U.cpp": '#include "board/B.h"\n', "board/B.h": ""},
     True, ""),
    ("an upward include fails",
     {"link/A.cpp": '#include "app/Globals.h"\n', "app/Globals.h": ""},
     False, "link/ may not include app/Globals.h"),
    ("a neighbour's include fails",
     {"sim/S.cpp": '#include "link/Communication.h"\n', "link/Communication.h": ""},
     False, "sim/ may not include link/Communication.h"),
    ("a file and a header that include each other fail",
     {"sim/A.cpp": '#include "sim/B.h"\n', "sim/A.h": "", "sim/B.h": '#include "sim/A.h"\n'},
     False, "sim/A, sim/B"),
    ("a longer circle fails",
     {"firmware/A.h": '#include "firmware/B.h"\n', "firmware/B.h": '#include "firmware/C.h"\n',
      "firmware/C.cpp": '#include "firmware/A.h"\n'},
     False, "firmware/A, firmware/B, firmware/C"),
    ("Qt in a plain folder fails",
     {"settings/S.cpp": "#include <QString>\n"}, False, "Qt header <QString>"),
    ("Qt in platform's Qt files passes",
     {"platform/Dialog.cpp": "#include <QDialog>\n"}, True, ""),
    ("Qt in platform's plain files fails",
     {"platform/PortIo.cpp": "#include <QFile>\n"}, False, "Qt header <QFile>"),
    ("the file format including the reader fails",
     {"firmware/OfwFormat.cpp": '#include "firmware/FileDecryption.h"\n',
      "firmware/FileDecryption.h": ""},
     False, "the file format may not include firmware/FileDecryption.h"),
]


def run(files):
    with tempfile.TemporaryDirectory() as root:
        for name, text in files.items():
            os.makedirs(os.path.join(root, os.path.dirname(name)), exist_ok=True)
            with open(os.path.join(root, name), "w", encoding="utf-8") as out:
                out.write(text)
        done = subprocess.run([sys.executable, SCRIPT, "--root", root], capture_output=True,
                              text=True, check=False)
        return done.returncode == 0, done.stdout + done.stderr


def main():
    failures = 0
    for name, files, passes, word in CASES:
        passed, output = run(files)
        if passed != passes or word not in output:
            failures += 1
            print(f"FAIL {name}: exit {'0' if passed else '1'}, output:\n{output}")
    print(f"{len(CASES) - failures} of {len(CASES)} cases as expected")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
