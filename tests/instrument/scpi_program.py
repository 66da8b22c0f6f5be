"""The real program as a remote instrument: offscreen, on a private ALSA file
device, with settings that have answered the welcome question. Shared by the
PyVISA test and the raw-socket test."""

import os
import socket
import subprocess
import sys
import tempfile
import time


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class Program:
    def __init__(self, exe, extra_args=(), keep_bus=False, settings=""):
        self.dir = tempfile.TemporaryDirectory(prefix="zephyra-scpi-")
        d = self.dir.name
        os.makedirs(f"{d}/config/Vellacor")
        with open(f"{d}/config/Vellacor/Zephyra.reg", "w") as f:
            f.write('REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Vellacor\\Zephyra]\n"Welcome"=dword:00000001\n'
                    + settings)
        self.output = f"{d}/out.raw"
        with open(f"{d}/asound.conf", "w") as f:
            f.write('pcm.!default { type file; slave.pcm "null"; file "%s"; format "raw" }\n' % self.output)
        env = dict(os.environ, XDG_CONFIG_HOME=f"{d}/config", XDG_STATE_HOME=f"{d}/state",
                   QT_QPA_PLATFORM="offscreen", ALSA_CONFIG_PATH=f"/usr/share/alsa/alsa.conf:{d}/asound.conf")
        if not keep_bus:  # the user's bus must not see the test's generator
            env["DBUS_SESSION_BUS_ADDRESS"] = f"unix:path={d}/no-bus"
        self.port = free_port()
        self.stderr = open(f"{d}/stderr.txt", "w")
        self.env = env
        self.process = subprocess.Popen([exe, f"--scpi={self.port}", "/nosplash", *extra_args], env=env,
                                        stdout=subprocess.DEVNULL, stderr=self.stderr)
        deadline = time.monotonic() + 30
        while True:
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
                return
            except OSError:
                if self.process.poll() is not None or time.monotonic() > deadline:
                    self.close()
                    sys.exit("the program did not listen: " + open(f"{d}/stderr.txt").read())
                time.sleep(0.1)

    def played(self):
        try:
            with open(self.output, "rb") as f:
                return f.read()
        except FileNotFoundError:
            return b""

    def rss_kib(self):
        with open(f"/proc/{self.process.pid}/status") as f:
            return next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))

    def close(self):
        self.process.kill()
        self.process.wait()
        self.stderr.close()
        self.dir.cleanup()


def verdict(failures):
    """Prints each failure; the exit status of the test."""
    for f in failures:
        print("FAIL:", f)
    return 1 if failures else 0
