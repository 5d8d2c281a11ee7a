#!/usr/bin/env python3
"""Writes the saved corpora of the fuzz targets that read outside bytes: fuzz_script (command
files), fuzz_board_replies (bytes over the line), fuzz_telnet (a Telnet/RFC 2217 server) and
fuzz_port_name (port names). Well-formed inputs and the hostile ones we know of: long lines,
NULs, huge numbers, IAC floods, cut subnegotiations, bad URLs. Rewrites the named inputs in those
directories; the inputs fuzz runs found and merged in (-merge=1, named by their SHA-1) stay."""

import pathlib
import re
import struct

CORPUS = pathlib.Path(__file__).resolve().parent / "corpus"
FOUND_BY_FUZZING = re.compile(r"[0-9a-f]{40}")


def write(target, files):
    out = CORPUS / target
    out.mkdir(parents=True, exist_ok=True)
    for old in out.iterdir():
        if not FOUND_BY_FUZZING.fullmatch(old.name):
            old.unlink()
    for name, data in files.items():
        (out / name).write_bytes(data if isinstance(data, bytes) else data.encode())


write("fuzz_script", {
    "every_command.txt": "\n".join([
        "# every command that may stand in a script", "identify", "text 'Hello, board' --font 2",
        "text \"quoted \\\"x\\\" #not a comment\" --at 3,20 --string", "clear", "clear 15",
        "pattern 0x3C,0x42,0x81", "pixel 10 20", "line 0 0 159 127", "rect 1 2 30 40 --clear",
        "fill 5 5 50 50", "reverse 0 0 80 64", "circle 20 80 64", "contrast 45",
        "backlight off", "lcd on", "mode 3", "rotate 180", "flip 7", "save 10", "load 10",
        "animate 100 5 9", "stop", "touch coordinates", "calibrate", "restore-calibration",
        "baud 19200", "raw 06 00 12 00", "listen --seconds 1", ""]),
    "crlf_and_comments.txt": "identify\r\n  # comment\r\n\r\ntext a\\ b # rest\r\n",
    "open_quote.txt": "text 'never closed\nidentify\n",
    "not_utf8.txt": b"text \xff\xfe\xc3\n",
    "nul_bytes.txt": b"text a\x00b\nclear\x00\n\x00\x00\n",
    "long_line.txt": "text " + "x" * 6000 + "\n",
    "huge_numbers.txt": "pixel 99999999999999999999 -1\ncontrast 1e9\nclear 0x7fffffffffffffff\n"
                        "animate 4294967296 0 -0\npattern " + ",".join(["0x100"] * 50) + "\n",
    "nested_scripts.txt": "script -\nscript /dev/zero\nscript /nonexistent\n",
    "standard_input_twice.txt": "script -\nscript -\n",
    "unknown_and_options.txt": "--port 1\nfrobnicate 1 2\nhelp\nports\n",
    "pictures.txt": "picture /nonexistent.bmp --fit\npicture /dev/null --threshold 300\n",
})

iac, sb, se, will, wont, do, dont = 255, 250, 240, 251, 252, 253, 254
com_port = 44


def subneg(code, payload, end=True):
    body = bytes([iac, sb, com_port, code]) + payload.replace(b"\xff", b"\xff\xff")
    return body + (bytes([iac, se]) if end else b"")


good_server = (bytes([iac, do, 0, iac, will, 0, iac, will, 3, iac, do, com_port])
               + subneg(101, struct.pack(">I", 9600)) + subneg(102, b"\x08") + subneg(103, b"\x01")
               + subneg(104, b"\x01") + b"45!\r")
write("fuzz_telnet", {
    "agreeing_server.bin": b"\x00" + good_server,
    "refusing_server.bin": b"\x05" + bytes([iac, dont, com_port, iac, wont, 0, iac, dont, 0]),
    "raw_data_no_telnet.bin": b"\x11" + b"X80Y64!" * 40,
    "iac_flood.bin": b"\x03" + bytes([iac]) * 3000,
    "iac_iac_data.bin": b"\x07" + bytes([iac, iac, 1, iac, iac, iac, iac]) * 200,
    "truncated_subnegotiation.bin": b"\x02" + subneg(100, b"ser2net " * 40, end=False),
    "long_subnegotiation.bin": b"\x09" + subneg(100, b"A" * 500) + b"after",
    "subnegotiation_broken_by_iac.bin": b"\x01" + bytes([iac, sb, com_port, 101, 0, iac, 241]) + b"data",
    "wrong_rate_answer.bin": b"\x04" + good_server.replace(struct.pack(">I", 9600), struct.pack(">I", 0xffffffff)),
    "option_storm.bin": b"\x0f" + b"".join(bytes([iac, v, o]) for v in (will, wont, do, dont) for o in range(0, 256, 3)),
    "suspend_resume.bin": b"\x06" + good_server + subneg(108, b"") + b"held" + subneg(109, b""),
    "cut_at_every_state.bin": b"\x00" + bytes([iac]) + bytes([iac, will]) + bytes([iac, sb]) + bytes([iac, sb, com_port, iac]),
})

write("fuzz_board_replies", {
    "identify_answers.bin": b"\x00" + b"45!\r" + b"6" + b"64" + b" 127 !" + b"128!",
    "touch_reports.bin": b"\x00" + b"X80Y64!" * 200,
    "huge_contrast.bin": b"\x00" + b"99999999999999999999999!",
    "control_bytes.bin": b"\x00" + bytes(range(256)) * 4,
    "long_reply.bin": b"\x00" + b"R" * 5000,
    "nul_flood.bin": b"\x10" + b"\x00" * 4000,
    "both_ways.bin": b"\xaa" + bytes([0x06, 0, 0x12, 0, 0x26]) + b"Hi\r" + b"45!" + bytes([0x03, 0x3c] * 300),
    "upload_folds.bin": b"\xff" + bytes([0x05, 0, 0x06, 0, 0x12, 0]) + bytes([0x03, 0x81]) * 2000,
    "unknown_codes.bin": b"\x55" + bytes([0x99, 0xfe, 0x0a, 0x01]) + bytes(range(0x80, 0x100)),
})

write("fuzz_port_name", {
    "rfc2217.txt": "rfc2217://pi.local:2000",
    "socket_ipv6.txt": "socket://[::1]:4001/",
    "upper_case.txt": "RFC2217://Host-1.example:65535",
    "port_zero.txt": "rfc2217://host:0",
    "port_too_big.txt": "socket://host:65536",
    "huge_port.txt": "socket://host:99999999999999999999",
    "no_port.txt": "rfc2217://host",
    "unknown_scheme.txt": "telnet://host:23",
    "bad_host.txt": "socket://ho st:20\nsocket://[::1:20\nsocket://@:20",
    "device_paths.txt": "/dev/ttyUSB0\n/dev/serial/by-id/usb-FTDI\n\n  /dev/ttyS0  \n/dev/../dev/ttyACM1",
    "sixteen_ports.txt": "\n".join(f"/dev/tty{n}" for n in range(20)),
    "nul_and_controls.txt": b"rfc2217://h\x00st:20\n\x01\x02\r\n\t",
    "long_name.txt": "socket://" + "a" * 5000 + ":1",
    "not_utf8.txt": b"rfc2217://\xff\xfe:20",
})
