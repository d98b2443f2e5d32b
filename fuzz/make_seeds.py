#!/usr/bin/env python3
"""Writes the seed corpora (run once; the seeds are committed)."""
import os, struct, zlib

here = os.path.dirname(os.path.abspath(__file__))

def write(target, name, data):
    d = os.path.join(here, 'corpus', target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), 'wb') as f:
        f.write(data)

def esc(bs):
    out = bytearray()
    for b in bs:
        if b in (0x02, 0x0A, 0x0D, 0x1B, 0x7E):
            out += bytes([0x7E, b ^ 0x20])
        else:
            out.append(b)
    return bytes(out)

def frame(payload):
    n = len(payload)
    s = 0xFF ^ (n & 0xFF) ^ (n >> 8)
    for b in payload:
        s ^= b
    return b'\x02' + esc(bytes([n & 0xFF, n >> 8]) + payload + bytes([s]))

def msg(t, cmd, seq, data):
    return struct.pack('<BHHH', t, cmd, seq, len(data)) + data

# Line bytes.
v = msg(0x11, 0, 1, struct.pack('<III', 1, 2, 3))
write('frame_parser', 'version_reply', frame(v))
write('frame_parser', 'compressed_reply', frame(zlib.compress(v, 6)))
write('frame_parser', 'noise_then_two', b'\x00\x7e\x0d' + frame(v) + frame(msg(0x11, 7, 2, b'\x01\0\0\0')))
write('frame_parser', 'cut_frame', frame(v)[:6] + frame(v))
write('frame_parser', 'escapes', frame(bytes([2, 0x0a, 0x0d, 0x1b, 0x7e] * 20)))

# Scripted replies: [flags][len16][data].
def reply(data, flags=0):
    return bytes([flags]) + struct.pack('<H', len(data)) + data
rec = struct.pack('<IIIII', 0x20, 0, 0, 1700000000, 1234) + b'name.txt'.ljust(100, b'\0')
long_name = struct.pack('<IIIII', 0x20, 0, 0, 0, 0xFFFFFFFF) + b'x' * 100
read_ok = struct.pack('<I', 1024) + bytes(1024) + struct.pack('<I', 1)
write('reply_handling', 'good_session',
      reply(struct.pack('<III', 4, 2, 1)) + reply(rec + struct.pack('<I', 7)) +
      reply(rec + struct.pack('<I', 1)) + reply(read_ok) + reply(read_ok) +
      reply(struct.pack('<I', 952) + bytes(952) + struct.pack('<I', 1)))
write('reply_handling', 'hostile',
      reply(b'\x01' * 12, 1) + reply(long_name + struct.pack('<I', 0)) +
      reply(struct.pack('<I', 5000) + bytes(20) + struct.pack('<I', 1)) +
      reply(b'\x02\x07\x00' + b'junk', 2) + reply(struct.pack('<II', 99999, 1), 4))
write('reply_handling', 'retries', reply(b'', 1) * 3 + reply(struct.pack('<III', 1, 1, 1)))

# Simulator requests: [command][len16][data].
def req(cmd, data):
    return bytes([cmd]) + struct.pack('<H', len(data)) + data
def path(p):
    return bytes([len(p)]) + p
write('sim_requests', 'create_write_read',
      req(10, path(b'ZOT:\\new.bin') + struct.pack('<I', 0xC0000000)) +
      req(13, struct.pack('<II', 1, 5) + b'hello') + req(15, struct.pack('<iiI', 1, 0, 0)) +
      req(12, struct.pack('<II', 1, 5)) + req(23, struct.pack('<II', 1, 4)) + req(14, struct.pack('<I', 1)))
write('sim_requests', 'escapes',
      req(5, path(b'ZOT:\\..\\*.*')) + req(10, path(b'ZOT:\\..\\evil') + b'\0\0\0\xc0') +
      req(17, path(b'/tmp/evil')) + req(19, path(b'ZOT:\\sub\\..\\..\\a.txt')) +
      req(9, path(b'ZOT:\\a.txt') + struct.pack('<I', 1)) + req(18, path(b'ZOT:\\sub')))
write('sim_requests', 'find_walk',
      req(5, path(b'ZOT:\\*.*')) + req(6, struct.pack('<I', 1)) * 4 + req(7, struct.pack('<I', 1)) +
      req(3, struct.pack('<I', 1)) + req(24, struct.pack('<I', 3) + b'hey'))
