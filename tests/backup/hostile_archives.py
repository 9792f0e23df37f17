# Writes the hostile and damaged archives the extractor tests refuse.
# Usage: hostile_archives.py OUTPUT_FOLDER
import os
import struct
import sys
import zipfile
import zlib

out = sys.argv[1]


def info(name, mode=None):
    entry = zipfile.ZipInfo(name)
    entry.create_system = 3
    entry.compress_type = zipfile.ZIP_DEFLATED
    if mode is not None:
        entry.external_attr = mode << 16
    return entry


def make(name, bad_name, data, mode=None):
    with zipfile.ZipFile(os.path.join(out, name + '.zip'), 'w', zipfile.ZIP_DEFLATED) as z:
        z.writestr('Game/ok.ini', 'fine\r\n')
        z.writestr(info(bad_name, mode), data)


make('dotdot', 'Game/../../evil.ini', 'x')
make('absolute', '/tmp/evil.ini', 'x')
make('drive', 'C:/evil.ini', 'x')
make('backslash', 'Game\\..\\..\\evil.ini', 'x')
make('device', 'Game/CON.ini', 'x')
make('symlink', 'Game/link', '/etc/passwd', 0o120777)
make('chardevice', 'Game/tty', '', 0o020644)


def raw_zip(name, entries):
    """Deflated entries whose declared size is given, not measured."""
    local = b''
    central = b''
    for entry_name, data, declared in entries:
        packer = zlib.compressobj(6, zlib.DEFLATED, -15)
        packed = packer.compress(data) + packer.flush()
        crc = zlib.crc32(data)
        n = entry_name.encode()
        offset = len(local)
        local += struct.pack('<IHHHHHIIIHH', 0x04034b50, 20, 0, 8, 0, 0x21, crc, len(packed), declared,
                             len(n), 0) + n + packed
        central += struct.pack('<IHHHHHHIIIHHHHHII', 0x02014b50, 20, 20, 0, 8, 0, 0x21, crc, len(packed),
                               declared, len(n), 0, 0, 0, 0, 0, offset) + n
    end = struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, len(entries), len(entries), len(central), len(local), 0)
    with open(os.path.join(out, name + '.zip'), 'wb') as f:
        f.write(local + central + end)


ok = ('Game/ok.ini', b'fine\r\n', 6)
# The data inflates to far more than the declared size.
raw_zip('bomb', [ok, ('Game/bomb.rpy', b'\0' * 3000000, 1000)])
# A declared size no deflate stream of that length can give.
raw_zip('ratio', [ok, ('Game/ratio.rpy', b'\0' * 1000, 4000000000)])
