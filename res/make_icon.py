#!/usr/bin/env python3
"""Draws icon 300 (a computer with a blue screen and an open software box in
front of it) as a 16-colour icon with 32x32 and 16x16 images: res/setup.ico."""
import struct
import sys

PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, OLIVE, NAVY, SILVER, GRAY, YELLOW, BLUE, WHITE = 0, 3, 4, 7, 8, 11, 12, 15
CLEAR = None


def draw32():
    img = [[CLEAR] * 32 for _ in range(32)]

    def rect(x0, y0, x1, y1, colour):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                img[y][x] = colour

    rect(9, 2, 30, 21, BLACK)      # monitor outline
    rect(10, 3, 29, 20, SILVER)    # bezel
    rect(12, 5, 27, 17, BLUE)      # screen
    rect(12, 5, 27, 5, NAVY)
    rect(17, 22, 22, 23, GRAY)     # stand
    rect(13, 24, 26, 25, SILVER)
    rect(13, 26, 26, 26, BLACK)
    rect(2, 17, 14, 30, BLACK)     # box outline
    rect(3, 18, 13, 29, YELLOW)    # box front
    rect(3, 18, 13, 19, OLIVE)     # rim
    rect(0, 13, 5, 15, OLIVE)      # open flaps
    rect(11, 13, 16, 15, OLIVE)
    rect(6, 22, 10, 25, WHITE)     # label
    return img


def downscale(img):
    return [[img[y * 2][x * 2] for x in range(16)] for y in range(16)]


def image_bytes(img):
    size = len(img)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor_row = ((size * 4 + 31) // 32) * 4
    and_row = ((size + 31) // 32) * 4
    xor = bytearray()
    mask = bytearray()
    for row in reversed(img):
        bits = bytearray(xor_row)
        mbits = bytearray(and_row)
        for x, colour in enumerate(row):
            value = 0 if colour is None else colour
            bits[x // 2] |= value << (4 if x % 2 == 0 else 0)
            if colour is None:
                mbits[x // 8] |= 0x80 >> (x % 8)
        xor += bits
        mask += mbits
    return header + palette + bytes(xor) + bytes(mask)


def main(out):
    images = [image_bytes(draw32()), image_bytes(downscale(draw32()))]
    sizes = [32, 16]
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, blob in zip(sizes, images):
        data += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(blob), offset)
        offset += len(blob)
    data += b''.join(images)
    with open(out, 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main(sys.argv[1] if len(sys.argv) > 1 else 'setup.ico')
