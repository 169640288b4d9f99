#!/usr/bin/env python3
"""Writes the seed corpora of the Zentil fuzz targets (seeds_rawdata/, seeds_pulse_file/).

The first byte of every seed steers the target (see the comment at the top of each target)."""
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def crc16_genibus(data):
    crc = 0xFFFF
    for b in data:
        crc ^= b << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x1021) if crc & 0x8000 else (crc << 1)
            crc &= 0xFFFF
    return crc ^ 0xFFFF


def record(rtype, body):
    rest = struct.pack('<HI', rtype, 8 + len(body)) + body
    return struct.pack('<H', crc16_genibus(rest)) + rest


def items(*specs):
    out = struct.pack('<I', len(specs))
    for item_id, code, payload, count in specs:
        out += struct.pack('<IBI', item_id, code, count) + payload
    return out


def words(item_id, values):
    return (item_id, 7, struct.pack('<%dH' % len(values), *values), len(values))


def floats(item_id, value):
    return (item_id, 11, struct.pack('<f', value), 1)


def byte(item_id, value):
    return (item_id, 1, bytes([value]), 1)


def write(folder, name, data):
    os.makedirs(os.path.join(HERE, folder), exist_ok=True)
    with open(os.path.join(HERE, folder, name), 'wb') as f:
        f.write(data)


def rawdata_seeds():
    header = record(0, bytes(range(92)))
    static = record(1, items(words(1001, [1, 2, 3]), words(1004, [1, 5, 7, 7]),
                             words(1005, [2, 5, 8, 8]), words(1006, [3, 5, 9, 9]),
                             words(1015, [100, 101]), words(1016, [200, 201, 202]),
                             byte(1017, 2), floats(1020, 0.5), floats(1030, 1.1),
                             byte(2004, 1), (1007, 10, struct.pack('<2I', 7, 8), 2),
                             (0, 1, b'abc', 3)))
    pointer = record(2, items(floats(1, 1.0), floats(13, 2.0), words(101, [4, 5]),
                              (0, 1, b'xy', 2)))
    write('seeds_rawdata', 'full_file', bytes([3]) + header + static + pointer)
    write('seeds_rawdata', 'items_only', bytes([1]) + static + static)
    damaged = bytearray(static)
    damaged[0] ^= 0xFF
    write('seeds_rawdata', 'damaged_record', bytes([2]) + bytes(damaged) + pointer)
    unknown = bytearray(record(3, items(byte(1018, 1))))
    write('seeds_rawdata', 'unknown_type', bytes([3]) + static + bytes(unknown))


def pulse_seeds():
    wbc = [0, 230, 240, 300, 600, 900, 1000, 900, 700, 500, 300, 200, 100, 100]
    layout1 = b''.join(struct.pack('<I', (1 << 30) | (wbc[k + 1] << 16) | wbc[k])
                       for k in range(0, len(wbc), 2))
    layout1 += struct.pack('<3I', 5 | (6 << 10) | (7 << 20), (2 << 30) | (60 << 16) | 55,
                           (3 << 30) | (250 << 16) | 210)
    write('seeds_pulse_file', 'layout1', bytes([1]) + layout1)
    layout2 = b''.join(struct.pack('<I', (0xC << 28) | (wbc[k + 1] << 16) | wbc[k] | 0x1000)
                       for k in range(0, len(wbc), 2))
    layout2 += struct.pack('<4I', 5 | (6 << 10) | (0x400 << 20), 0 | (0x401 << 20),
                           0x80000000, 0xF0000001)
    write('seeds_pulse_file', 'layout2', bytes([2]) + layout2 + b'\x01\x02')
    para = b''.join(struct.pack('<15H', *p) for p in (
        (220, 240, 4095, 8, 100, 2, 4, 10, 10, 3800, 16, 90, 12, 40, 0),
        (50, 60, 4095, 14, 100, 5, 6, 4, 4, 3800, 12, 90, 12, 40, 80),
        (200, 240, 4000, 14, 100, 20, 24, 16, 16, 3800, 12, 90, 12, 40, 320)))
    write('seeds_pulse_file', 'with_parameters', bytes([1 | 4 | 16]) + para + layout1)
    write('seeds_pulse_file', 'layout0', bytes([0]) + layout1)


if __name__ == '__main__':
    rawdata_seeds()
    pulse_seeds()
