#!/usr/bin/python3
"""The remote instrument against zephyra-remote, on one generator that plays
into an ALSA file device (unpaced: the device takes the sound as fast as it is
rendered, so what is timed is the command's path, not a sound card's latency),
on a private session bus.
  bench/instrument/measure.py BIN_DIR [ROUNDS]
Prints medians of: *OPC? over an open connection vs `zephyra-remote status`;
a level change until the device plays it, through SCPI vs `zephyra-remote
level-left`; and the program's memory before and after 100,000 commands."""

import array
import os
import socket
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "../../tests/instrument"))
from scpi_program import Program  # noqa: E402

bin_dir = sys.argv[1]
rounds = int(sys.argv[2]) if len(sys.argv) > 2 else 30
bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"], stdout=subprocess.PIPE, text=True)
os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().strip()
program = Program(os.path.join(bin_dir, "zephyra"), keep_bus=True)
remote = os.path.join(bin_dir, "zephyra-remote")
pid = str(program.process.pid)


def ask(s, reader, line):
    s.sendall(line.encode() + b"\n")
    return reader.readline().decode().strip()


def peak_since(offset):
    with open(program.output, "rb") as f:
        f.seek(offset)
        raw = f.read(1 << 20)
    samples = array.array("h", raw[: len(raw) // 2 * 2])
    return max((abs(x) for x in samples), default=0)


def time_to_hear(send, level):
    """Seconds from send() until the device plays a peak near the new level."""
    threshold = 32767 * 10 ** ((level - 3) / 20)
    start_size = os.path.getsize(program.output)
    t0 = time.perf_counter()
    send()
    while time.perf_counter() - t0 < 10:
        size = os.path.getsize(program.output)
        if size > start_size and peak_since(max(start_size, size - 65536)) > threshold:
            return time.perf_counter() - t0
        time.sleep(0.0005)
    return float("nan")


try:
    s = socket.create_connection(("127.0.0.1", program.port))
    reader = s.makefile("rb")
    for _ in range(50):
        if subprocess.run([remote, "status", "--pid", pid], capture_output=True).returncode == 0:
            break
        time.sleep(0.1)
    opc = []
    for _ in range(rounds * 10):
        t = time.perf_counter()
        ask(s, reader, "*OPC?")
        opc.append(time.perf_counter() - t)
    status = []
    for _ in range(rounds):
        t = time.perf_counter()
        subprocess.run([remote, "status", "--pid", pid], capture_output=True, check=True)
        status.append(time.perf_counter() - t)
    ask(s, reader, "OUTP:LOOP ON;:SOUR1:VOLT -60;:OUTP ON;*OPC?")
    scpi, dbus = [], []
    via_scpi = lambda: s.sendall(b"SOUR1:VOLT -10\n")  # noqa: E731
    via_remote = lambda: subprocess.run([remote, "--pid", pid, "level-left", "-10"], capture_output=True)  # noqa: E731
    for i in range(rounds):
        # In turn, each first in every other round, so that drift favours neither.
        for send, times in ((via_scpi, scpi), (via_remote, dbus))[:: 1 if i % 2 else -1]:
            ask(s, reader, "SOUR1:VOLT -60;*OPC?")
            time.sleep(0.05)
            times.append(time_to_hear(send, -10))
            os.truncate(program.output, 0)  # the file stays sparse: the device writes on at its offset
    ask(s, reader, "OUTP OFF;*OPC?")
    rss_start = program.rss_kib()
    batch = b"SOUR1:VOLT -20;VOLT?\n" * 1000  # 2000 commands
    for _ in range(50):
        s.sendall(batch)
        for _ in range(1000):
            reader.readline()
    rss_end = program.rss_kib()
    ms = lambda v: f"{statistics.median(v) * 1000:.2f} ms"  # noqa: E731
    print(f"*OPC? round trip: {ms(opc)}; zephyra-remote status: {ms(status)}; "
          f"ratio {statistics.median(status) / statistics.median(opc):.0f}")
    print(f"level change heard: SCPI {ms(scpi)}; zephyra-remote {ms(dbus)}; "
          f"ratio {statistics.median(dbus) / statistics.median(scpi):.1f}")
    print(f"RSS before 100000 commands {rss_start} KiB, after {rss_end} KiB "
          f"(ratio {rss_end / rss_start:.3f})")
finally:
    program.close()
    bus.kill()
