"""PyVISA drives the program as it drives a bench instrument: identity, a
set-query round trip of every control, the output on the device, a memory
recall, a refused value and the error queue."""

import array
import math
import sys
import time

try:
    import pyvisa
except ImportError:
    print("SKIP: python3-pyvisa is not installed")
    sys.exit(77)

from scpi_program import Program, verdict

# Every control: (set, query, answer); the window's rounding shows in the answers.
ROUND_TRIPS = [
    ("OUTP:MODE STER", "OUTP:MODE?", "STER"), ("OUTP:COUP OFF", "OUTP:COUP?", "0"),
    ("OUTP:DUR 2.5", "OUTP:DUR?", "2.5"), ("OUTP:LOOP ON", "OUTP:LOOP?", "1"),
    ("OUTP:SYNC OFF", "OUTP:SYNC?", "0"), ("OUTP:RATE 48000", "OUTP:RATE?", "48000"),
    ("OUTP:BITS 16", "OUTP:BITS?", "16"), ("OUTP:BUFF 8192", "OUTP:BUFF?", "8192"),
    ("OUTP:BUFF:COUN 4", "OUTP:BUFF:COUN?", "4"), ("OUTP:DEV 0", "OUTP:DEV?", "0"),
]
for ch in (1, 2):
    ROUND_TRIPS += [(f"SOUR{ch}:{s}", f"SOUR{ch}:{q}", a) for s, q, a in [
        ("CHAN ON", "CHAN?", "1"), ("NOIS WHIT", "NOIS?", "WHIT"), ("NOIS:CRES 3", "NOIS:CRES?", "3"),
        ("VOLT -12.25 DB", "VOLT?", "-12.25"), ("FILT:TYPE PEAK", "FILT:TYPE?", "PEAK"),
        ("FILT:FREQ 1.5 kHz", "FILT:FREQ?", "1500"), ("FILT:GAIN -3", "FILT:GAIN?", "-3"),
        ("FILT:Q 2", "FILT:Q?", "2"), ("AM ON", "AM?", "1"), ("AM:FUNC SQU", "AM:FUNC?", "SQU"),
        ("AM:PER 0.5", "AM:PER?", "0.5"), ("AM:DEPT 50", "AM:DEPT?", "50"), ("AM:PHAS 45", "AM:PHAS?", "45")]]


def peak_of(raw):
    samples = array.array("h", raw[: len(raw) // 2 * 2])
    return max((abs(s) for s in samples), default=0)


def main(exe):
    program = Program(exe)
    failures = []
    try:
        rm = pyvisa.ResourceManager("@py")
        inst = rm.open_resource(f"TCPIP0::127.0.0.1::{program.port}::SOCKET",
                                read_termination="\n", write_termination="\n", timeout=5000)

        def check(what, got, expected):
            if got != expected:
                failures.append(f"{what}: {got!r}, expected {expected!r}")

        check("*IDN?", inst.query("*IDN?").split(",")[1], "Zephyra")
        for set_, query, answer in ROUND_TRIPS:
            inst.write(set_)
            check(query, inst.query(query), answer)
            check(set_ + " error", inst.query("SYST:ERR?"), '0,"No error"')

        # Out of range: refused with -222, the level stays.
        inst.write("SOUR1:VOLT 3")
        check("out of range", inst.query("SYST:ERR?").split(",")[0], "-222")
        check("level kept", inst.query("SOUR1:VOLT?"), "-12.25")

        # A memory: store, change, recall.
        inst.write("OUTP:MODE MONO;:SOUR1:AM OFF;FILT:TYPE NONE;:SOUR1:VOLT -20;:*SAV 3;:SOUR1:VOLT -60;:*RCL 3")
        check("*RCL", inst.query("SOUR1:VOLT?"), "-20")

        # The output: what the device plays follows the level (peak in dBFS, 16 bits).
        for level in (-20, -40):
            inst.write(f"OUTP OFF;:SOUR1:VOLT {level};:OUTP:LOOP ON;:OUTP ON")
            check("*OPC?", inst.query("*OPC?"), "1")
            start = len(program.played())
            deadline = time.monotonic() + 10
            while len(program.played()) - start < 200000 and time.monotonic() < deadline:
                time.sleep(0.05)
            peak = peak_of(program.played()[start:])
            db = 20 * math.log10(peak / 32767) if peak else -math.inf
            if not level - 1.5 < db <= level + 0.1:
                failures.append(f"OUTP ON at {level} dBFS played a peak of {db:.2f} dBFS")
        inst.write("OUTP OFF")
        check("OUTP?", inst.query("OUTP?"), "0")

        # The error queue: in order, then "No error".
        inst.write("BOGUS;:SOUR1:NOIS BROWN")
        check("first error", inst.query("SYST:ERR?").split(",")[0], "-113")
        check("second error", inst.query("SYST:ERR?").split(",")[0], "-224")
        check("empty queue", inst.query("SYST:ERR:NEXT?"), '0,"No error"')
        inst.close()
    finally:
        program.close()
    return verdict(failures)


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
