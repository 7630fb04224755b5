#!/usr/bin/python3
"""Self-check of the asset generator's own file writers and its output set.

Run: /usr/bin/python3 tools/assetgen/test_assetgen.py
"""

import os
import struct
import sys
import tempfile
import unittest

from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import assetgen  # noqa: E402

EXPECTED = {
    'frame.png': (780, 630), 'close_normal.png': (45, 18), 'close_hot.png': (54, 30),
    'min_normal.png': (27, 18), 'min_hot.png': (39, 30), 'subbg.bmp': (750, 580),
    'nav_normal.bmp': (138, 30), 'nav_hot.bmp': (138, 30), 'nav_current.bmp': (138, 30),
}
EXPECTED.update({n: (16, 16) for n in assetgen.LIST_IMAGES})
EXPECTED.update({'%s_mode_%s.bmp' % (k, m): (11, 11) for k in ('file', 'folder') for m in 'oiw'})
EXPECTED.update({n: None for n in assetgen.ICONS})


class WriterTest(unittest.TestCase):
    def test_bmp_rows_padded_and_bottom_up(self):
        img = Image.new('RGB', (3, 2))
        img.putdata([(1, 2, 3), (4, 5, 6), (7, 8, 9), (10, 11, 12), (13, 14, 15), (16, 17, 18)])
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, 'x.bmp')
            assetgen.write_bmp(img, path)
            data = open(path, 'rb').read()
            self.assertEqual(len(data), 54 + 12 * 2)            # 9 bytes of pixels + 3 of padding
            magic, size, _, _, offset = struct.unpack_from('<2sIHHI', data)
            hsize, w, h, planes, bpp, comp = struct.unpack_from('<IiiHHI', data, 14)
            self.assertEqual((magic, size, offset), (b'BM', len(data), 54))
            self.assertEqual((hsize, w, h, planes, bpp, comp), (40, 3, 2, 1, 24, 0))
            self.assertEqual(data[54:57], bytes((12, 11, 10)))  # bottom row first, BGR
            self.assertEqual(list(Image.open(path).convert('RGB').getdata()), list(img.getdata()))

    def test_ico_entries(self):
        imgs = []
        for s in (16, 24):
            im = Image.new('RGBA', (s, s), (200, 10, 20, 255))
            im.putpixel((0, 0), (0, 0, 0, 0))
            im.putpixel((1, 0), (0, 0, 255, 128))
            imgs.append(im)
        with tempfile.TemporaryDirectory() as tmp:
            path = os.path.join(tmp, 'x.ico')
            assetgen.write_ico(imgs, path)
            data = open(path, 'rb').read()
            self.assertEqual(struct.unpack_from('<HHH', data), (0, 1, 2))
            for i, s in enumerate((16, 24)):
                w, h, _, _, planes, bpp, size, off = struct.unpack_from('<BBBBHHII', data, 6 + 16 * i)
                self.assertEqual((w, h, planes, bpp), (s, s, 1, 32))
                mask_stride = ((s + 31) // 32) * 4
                self.assertEqual(size, 40 + s * s * 4 + mask_stride * s)
                hdr = struct.unpack_from('<IiiHHI', data, off)
                self.assertEqual(hdr, (40, s, 2 * s, 1, 32, 0))
                top_mask_row = off + 40 + s * s * 4 + mask_stride * (s - 1)
                self.assertEqual(data[top_mask_row], 0x80)      # only (0, 0) is transparent
            self.assertEqual(off + size, len(data))
            ico = Image.open(path)
            ico.size = (24, 24)
            self.assertEqual(ico.convert('RGBA').getpixel((1, 0)), (0, 0, 255, 128))


class OutputTest(unittest.TestCase):
    def test_files_sizes_and_determinism(self):
        with tempfile.TemporaryDirectory() as tmp:
            a, b = os.path.join(tmp, 'a'), os.path.join(tmp, 'b', 'c')
            assetgen.generate(a)
            assetgen.generate(b)
            self.assertEqual(sorted(os.listdir(a)), sorted(EXPECTED))
            for name, size in EXPECTED.items():
                path = os.path.join(a, name)
                self.assertEqual(open(path, 'rb').read(), open(os.path.join(b, name), 'rb').read(), name)
                im = Image.open(path)
                if name.endswith('.ico'):
                    self.assertEqual(sorted(im.info['sizes']), [(16, 16), (24, 24), (32, 32), (48, 48)])
                    continue
                self.assertEqual(im.size, size, name)
                self.assertEqual(im.mode, 'RGBA' if name.endswith('.png') else 'RGB', name)
            frame = Image.open(os.path.join(a, 'frame.png'))
            self.assertEqual(frame.getpixel((0, 0))[3], 0)           # outside the rounded corner
            self.assertEqual(frame.getpixel((779, 629))[3], 0)
            self.assertEqual(frame.getpixel((8, 320))[3], 255)       # left border is opaque
            for name in assetgen.LIST_IMAGES:                       # white is the mask colour
                im = Image.open(os.path.join(a, name)).convert('RGB')
                self.assertEqual(im.getpixel((0, 0)), (255, 255, 255), name)
                self.assertLess(list(im.getdata()).count((255, 255, 255)), 256, name)


if __name__ == '__main__':
    unittest.main()
