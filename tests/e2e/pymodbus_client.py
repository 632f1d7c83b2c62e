#!/usr/bin/python3
"""A second, independent Modbus stack against drive-sim: pymodbus as master.

Usage: pymodbus_client.py TERMINAL
Prints one line per check; the calling test compares them.
"""
import logging
import sys

logging.basicConfig(level=logging.CRITICAL, force=True)

from pymodbus.client import ModbusSerialClient  # noqa: E402
from pymodbus.framer.rtu_framer import ModbusRtuFramer  # noqa: E402


def main(path):
    client = ModbusSerialClient(port=path, framer=ModbusRtuFramer, baudrate=9600,
                                bytesize=8, parity="N", stopbits=1, timeout=1)
    if not client.connect():
        print("cannot open", path)
        return 1
    try:
        rr = client.read_holding_registers(0x2649, 1, slave=1)
        print("9802", rr.registers[0])
        rr = client.read_holding_registers(4, 6, slave=1)
        print("status %04X" % rr.registers[5])
        rr = client.read_holding_registers(2, 1, slave=1)
        print("exception", rr.exception_code if rr.isError() else "none")
        client.write_register(1, 20000, slave=1)
        client.write_register(0, 0x0476, slave=1)
        client.write_register(0, 0x047F, slave=1)
        rr = client.read_holding_registers(9, 1, slave=1)
        print("running %04X" % rr.registers[0])
    finally:
        client.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
