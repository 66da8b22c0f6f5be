"""Raw sockets against the real program: two clients pipeline thousands of
commands with junk between them at once and get every answer in order; the
event loop keeps answering a third; a client that never reads is cut off;
memory stays bounded. ZEPHYRA_FLOOD_LINES sets the lines per client."""

import os
import socket
import subprocess
import sys
import threading
import time

from scpi_program import Program, verdict

LINES = int(os.environ.get("ZEPHYRA_FLOOD_LINES", "2500"))
JUNK = b"\x00\xff\x13 junk \xfe\x80\n"
LONG_LINE = b"SOUR1:VOLT " + b"9" * (70 * 1024) + b"\n"


def connect(port):
    return socket.create_connection(("127.0.0.1", port), timeout=60)


def flood(port, make, results, key):
    """Sends every line at once (junk among them) and reads the answers back."""
    s = connect(port)
    expected, payload = [], bytearray()
    for i in range(LINES):
        command, answer = make(i)
        payload += command.encode() + b"\n"
        expected.append(answer)
        if i % 250 == 0:
            payload += JUNK
        if i == LINES // 2:
            payload += LONG_LINE
    sender = threading.Thread(target=s.sendall, args=(bytes(payload),))
    sender.start()
    reader = s.makefile("rb")
    got = [reader.readline().decode().strip() for _ in expected]
    sender.join()
    s.sendall(b"SYST:ERR:COUN?\n")
    errors = int(reader.readline())
    results[key] = (got == expected, errors, next((f"{i}: {g!r} != {e!r}" for i, (g, e) in
                                                   enumerate(zip(got, expected)) if g != e), ""))
    s.close()


def ask(s, line):
    s.sendall(line.encode() + b"\n")
    data = b""
    while not data.endswith(b"\n"):
        chunk = s.recv(4096)
        if not chunk:
            raise ConnectionError("closed")
        data += chunk
    return data.decode().strip()


def main(exe):
    program = Program(exe)
    failures = []
    try:
        probe = connect(program.port)
        ask(probe, "OUTP:MODE STER;:SOUR1:AM ON;*OPC?")
        rss_start = program.rss_kib()
        results = {}
        clients = [
            threading.Thread(target=flood, args=(program.port, lambda i: (
                f"SOUR1:AM:DEPT {i % 101};DEPT?", str(i % 101)), results, "depth")),
            threading.Thread(target=flood, args=(program.port, lambda i: (
                f"OUTP:DUR {1 + i % 50}.5;DUR?", f"{1 + i % 50}.5"), results, "duration")),
        ]
        started = time.monotonic()
        for c in clients:
            c.start()
        slowest = 0.0
        while any(c.is_alive() for c in clients) and time.monotonic() - started < 90:
            t = time.monotonic()
            ask(probe, "*OPC?")
            slowest = max(slowest, time.monotonic() - t)
            time.sleep(0.05)
        for c in clients:
            c.join(timeout=1)
        elapsed = time.monotonic() - started
        for key in ("depth", "duration"):
            if key not in results:
                failures.append(f"{key} client: no answers within the time limit")
                continue
            in_order, errors, first_wrong = results[key]
            if not in_order:
                failures.append(f"{key} client: answers out of order or missing ({first_wrong})")
            junk_lines = len(range(0, LINES, 250)) + 1
            if errors != min(junk_lines, 16):
                failures.append(f"{key} client: {errors} errors queued for {junk_lines} junk lines")
        if slowest > 5:
            failures.append(f"a third client waited {slowest:.1f} s for *OPC? during the flood")

        # A client that never reads its answers is disconnected before it has them all.
        silent = connect(program.port)
        queries = 2000000
        try:
            silent.sendall(b"*IDN?\n" * queries)
        except (ConnectionResetError, BrokenPipeError):
            pass
        received = 0
        try:
            silent.settimeout(30)
            while chunk := silent.recv(1 << 20):
                received += len(chunk)
        except ConnectionResetError:
            pass
        except socket.timeout:
            failures.append("a client that never reads was neither served nor disconnected")
        if received >= queries * len("Vellacor,Zephyra,0,1.3\n"):
            failures.append("a client that never reads got every answer instead of being disconnected")
        silent.close()
        # Eight clients at most (the probe is one): the ninth is closed at once.
        others = [connect(program.port) for _ in range(8)]
        for c in others[:7]:
            if ask(c, "*OPC?") != "1":
                failures.append("one of eight clients was not served")
        others[7].settimeout(5)
        try:
            if others[7].recv(1) != b"":
                failures.append("a ninth client got an answer")
        except ConnectionResetError:
            pass
        for c in others:
            c.close()
        # A second program on the same port says so and keeps running.
        second = subprocess.Popen([exe, f"--scpi={program.port}", "/nosplash"], env=program.env,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        try:
            second.wait(timeout=5)
            failures.append(f"a second program on the port ended with status {second.returncode}")
        except subprocess.TimeoutExpired:
            pass
        second.kill()
        if "remote instrument is off" not in second.communicate()[1]:
            failures.append("a port in use was not reported")
        if ask(probe, "*OPC?") != "1":
            failures.append("the program stopped answering")
        rss_end = program.rss_kib()
        commands = 4 * LINES + queries
        print(f"{commands} commands in {elapsed:.1f} s (flood); slowest *OPC? meanwhile {slowest * 1000:.0f} ms; "
              f"RSS {rss_start} KiB at start, {rss_end} KiB after")
        # AddressSanitizer keeps freed memory in its quarantine (256 MiB by
        # default), so the program's size says nothing about leaks there.
        under_asan = "ASAN_OPTIONS" in os.environ
        if rss_end - rss_start > 64 * 1024 and not under_asan:
            failures.append(f"memory grew by {(rss_end - rss_start) // 1024} MiB")
        probe.close()
    finally:
        program.close()
    failures += allow_list_refusal(exe)
    return verdict(failures)


def allow_list_refusal(exe):
    """Open to the network for one other address only: this computer is closed at once."""
    program = Program(exe, settings='"ScpiNetwork"=dword:00000001\n"ScpiAllowedClients"="192.0.2.7"\n')
    try:
        s = connect(program.port)
        s.settimeout(5)
        try:
            s.sendall(b"*IDN?\n")
            if s.recv(100) != b"":
                return ["a client not on the allow list was answered"]
        except ConnectionResetError:
            pass
        return []
    finally:
        program.close()


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
