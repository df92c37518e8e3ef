"""A minimal PNG writer (8-bit RGBA, no filtering) so that pictures can be shown
in notebooks and written as .png without Pillow."""
import struct
import zlib


def _chunk(kind: bytes, data: bytes) -> bytes:
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def encode(width: int, height: int, rgba_top_down: bytes, level: int = 6) -> bytes:
    """The PNG file of width x height RGBA pixels given top row first."""
    stride = width * 4
    rows = b"".join(b"\0" + rgba_top_down[y * stride:(y + 1) * stride] for y in range(height))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", header) + _chunk(b"IDAT", zlib.compress(rows, level))
            + _chunk(b"IEND", b""))
