#!/usr/bin/python3
"""An independent Modbus RTU slave for the engine's tests: pymodbus on a terminal.

Usage: pymodbus_slave.py TERMINAL
Station 1 holds 100 registers, register n starting at 100 + n. It prints one
line once it listens and then serves until it is killed.
"""
import logging
import sys
import threading

logging.basicConfig(level=logging.CRITICAL, force=True)

from pymodbus.datastore import (ModbusSequentialDataBlock,  # noqa: E402
                                ModbusServerContext, ModbusSlaveContext)
from pymodbus.framer.rtu_framer import ModbusRtuFramer  # noqa: E402
from pymodbus.server import StartSerialServer  # noqa: E402


def main(path):
    block = ModbusSequentialDataBlock(0, [100 + n for n in range(100)])
    slave = ModbusSlaveContext(hr=block, zero_mode=True)
    context = ModbusServerContext(slaves={1: slave}, single=False)
    # Say we listen once the server has had a moment to open the terminal.
    threading.Timer(1.0, lambda: (print("listening", flush=True))).start()
    StartSerialServer(context=context, framer=ModbusRtuFramer, port=path, baudrate=9600,
                      bytesize=8, parity="N", stopbits=1, ignore_missing_slaves=True)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
