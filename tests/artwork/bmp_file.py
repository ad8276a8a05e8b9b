"""Reads the gauges' bitmaps independently of the code that writes them.

Only the one layout the host is given is accepted: BITMAPFILEHEADER,
40-byte BITMAPINFOHEADER, 8 bits per pixel, no compression, 256 palette
entries, bottom-up rows padded to four bytes.  Anything else raises
BmpError naming the file and the field.
"""

import math
import os
import struct

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))


class BmpError(Exception):
    pass


class Bitmap:
    """Pixels as palette indices, row y = 0 at the top."""

    def __init__(self, path):
        self.path = path
        with open(path, "rb") as f:
            data = f.read()
        self.data = data
        name = os.path.relpath(path, REPO)

        def need(cond, what):
            if not cond:
                raise BmpError("%s: %s" % (name, what))

        need(len(data) >= 54 + 1024, "file of %d bytes is too short" % len(data))
        magic, file_size, r1, r2, offset = struct.unpack_from("<2sIHHI", data, 0)
        need(magic == b"BM", "signature %r, expected b'BM'" % magic)
        need(file_size == len(data),
             "bfSize %d, file has %d bytes" % (file_size, len(data)))
        need(r1 == 0 and r2 == 0, "reserved words %d, %d" % (r1, r2))
        (self.header_size, self.width, self.height, self.planes,
         self.bit_count, self.compression, self.image_size, self.x_ppm,
         self.y_ppm, self.colours_used, self.colours_important) = \
            struct.unpack_from("<IiiHHIIiiII", data, 14)
        need(self.header_size == 40, "biSize %d, expected 40" % self.header_size)
        need(self.width > 0 and self.height > 0,
             "size %d x %d, expected positive (bottom-up)"
             % (self.width, self.height))
        need(self.planes == 1, "biPlanes %d" % self.planes)
        need(self.bit_count == 8, "biBitCount %d, expected 8" % self.bit_count)
        need(self.compression == 0,
             "biCompression %d, expected 0 (BI_RGB)" % self.compression)
        need(self.colours_used == 256,
             "biClrUsed %d, expected 256" % self.colours_used)
        self.row_bytes = (self.width + 3) & ~3
        need(self.image_size == self.row_bytes * self.height,
             "biSizeImage %d, expected %d"
             % (self.image_size, self.row_bytes * self.height))
        need(offset == 14 + 40 + 1024,
             "bfOffBits %d, expected %d" % (offset, 14 + 40 + 1024))
        need(len(data) == offset + self.image_size,
             "file of %d bytes, expected %d" % (len(data), offset + self.image_size))
        self.palette = []
        for i in range(256):
            b, g, r, zero = data[54 + 4 * i:58 + 4 * i]
            need(zero == 0, "palette entry %d has reserved byte %d" % (i, zero))
            self.palette.append((r, g, b))
        self.rows = []
        for y in range(self.height):
            start = offset + (self.height - 1 - y) * self.row_bytes
            self.rows.append(data[start:start + self.width])
            pad = data[start + self.width:start + self.row_bytes]
            need(pad == bytes(len(pad)), "row %d has non-zero padding" % y)

    def index(self, x, y):
        return self.rows[y][x]

    def rgb(self, x, y):
        return self.palette[self.rows[y][x]]

    def is_black(self, x, y):
        """Index 0: what the host treats as transparent."""
        return self.rows[y][x] == 0

    def luminance(self, x, y):
        r, g, b = self.rgb(x, y)
        return 0.299 * r + 0.587 * g + 0.114 * b

    def points(self):
        for y in range(self.height):
            for x in range(self.width):
                yield x, y


def load(relpath):
    return Bitmap(os.path.join(REPO, relpath))


def direction(pivot, x, y):
    """Dial direction of pixel (x, y) from pixel `pivot`: degrees clockwise
    from straight up, 0 to 360."""
    return math.degrees(math.atan2(x - pivot[0], pivot[1] - y)) % 360.0


def angle_between(a, b):
    """Smallest difference of two directions in degrees."""
    d = (a - b) % 360.0
    return min(d, 360.0 - d)


def circular_mean(weighted_angles):
    sx = sum(w * math.sin(math.radians(a)) for a, w in weighted_angles)
    sy = sum(w * math.cos(math.radians(a)) for a, w in weighted_angles)
    return math.degrees(math.atan2(sx, sy)) % 360.0
