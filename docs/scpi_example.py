#!/usr/bin/python3
"""Drives Zephyra as a bench noise generator through PyVISA (Debian:
python3-pyvisa python3-pyvisa-py). Start the generator with
`zephyra --scpi` (or tick Tools > Remote Instrument...), then run
`python3 scpi_example.py [HOST [PORT]]`."""

import sys
import time

import pyvisa

host = sys.argv[1] if len(sys.argv) > 1 else "127.0.0.1"
port = sys.argv[2] if len(sys.argv) > 2 else "5025"
gen = pyvisa.ResourceManager("@py").open_resource(
    f"TCPIP0::{host}::{port}::SOCKET", read_termination="\n", write_termination="\n", timeout=5000)

print("Connected to", gen.query("*IDN?"))
# Pink noise on the left, low-passed white noise on the right, both at -20 dBFS.
gen.write("*RST;*CLS")
gen.write("OUTP:MODE STER;:SOUR1:NOIS PINK;VOLT -20 DB")
gen.write("SOUR2:NOIS WHIT;VOLT -20 DB;FILT:TYPE LPAS;FREQ 2 kHz")
gen.write("OUTP ON")
gen.query("*OPC?")  # the output runs

# A level sweep on the left channel, reading the meter at each step.
for level in range(-20, -41, -5):
    gen.write(f"SOUR1:VOLT {level}")
    time.sleep(0.5)  # let the meter's 0.3 s window fill with the new level
    print(f"{level:4d} dBFS set: RMS {float(gen.query('FETC1:RMS?')):7.2f} dBFS, "
          f"peak {float(gen.query('FETC1:PEAK?')):7.2f} dBFS")

gen.write("OUTP OFF")
print("Dropouts:", gen.query("FETC:DROP?"), "- errors:", gen.query("SYST:ERR?"))
gen.close()
