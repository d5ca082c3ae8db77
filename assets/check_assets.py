#!/usr/bin/python3
# Reads every picture in this folder back with its own parsers (no imaging library) and checks
# the numbers the program relies on. Needs only python3. Run: python3 assets/check_assets.py
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

GIFS = {  # name: (width, height, frames, delay in centiseconds, NETSCAPE loop count)
    "banner_tower.gif": (35, 45, 10, 10, 9999),
    "banner_link.gif": (280, 120, 19, 7, 0),
    "about_mast.gif": (120, 263, 7, 15, 0),
}
# The sizes the program asks for at 96, 120, 144 and 192 dpi: button pictures are 32 pixels at 96 dpi,
# window icons the system's large (32) and small (16) icons.
BUTTON = (32, 40, 48, 64)
WINDOW = (16, 20, 24) + BUTTON
MARK = (16, 32)  # the taskbar button's marks and its thumbnail's button: small icons, kept small
ICONS = {  # name: icon sizes that must be present (all 32-bit), and no others
    "relinka.ico": WINDOW,
    "ajuda.ico": WINDOW,  # the Help window's icon and a button's picture
    "gravar.ico": BUTTON,
    "ler.ico": BUTTON,
    "sobre.ico": BUTTON,
    "encerrar.ico": BUTTON,
    "desconectar.ico": BUTTON,
    "desconectar_todos.ico": BUTTON,
    "retornar.ico": BUTTON,
    "visitar.ico": BUTTON,
    "sobre_window.ico": WINDOW,
    "marca_desconectado.ico": MARK,
    "marca_desligado.ico": MARK,
    "historico.ico": MARK,
}


def read(name):
    with open(os.path.join(HERE, name), "rb") as fh:
        return fh.read()


def lzw_decode_count(data, min_size):
    """Decode GIF LZW data; return the number of pixel indices produced."""
    clear, eoi = 1 << min_size, (1 << min_size) + 1
    width = min_size + 1
    lengths = None
    prev_len = None
    count = 0
    pos = 0
    total_bits = len(data) * 8
    nxt = eoi + 1
    while pos + width <= total_bits:
        code = 0
        for i in range(width):
            bit = pos + i
            code |= ((data[bit >> 3] >> (bit & 7)) & 1) << i
        pos += width
        if code == clear:
            width, nxt, lengths, prev_len = min_size + 1, eoi + 1, {}, None
            continue
        if code == eoi:
            return count
        assert lengths is not None, "LZW data does not start with a clear code"
        if code < clear:
            n = 1
        elif code in lengths:
            n = lengths[code]
        elif code == nxt and prev_len is not None:
            n = prev_len + 1
        else:
            raise AssertionError("bad LZW code %d" % code)
        if prev_len is not None and nxt < 4096:
            lengths[nxt] = prev_len + 1
            nxt += 1
            if nxt == (1 << width) and width < 12:
                width += 1
        prev_len = n
        count += n
    raise AssertionError("LZW data ends without an end code")


def check_gif(name, w, h, nframes, delay, loops):
    b = read(name)
    assert b[:6] == b"GIF89a", "header"
    sw, sh, packed = struct.unpack_from("<HHB", b, 6)
    assert (sw, sh) == (w, h), "screen size %dx%d" % (sw, sh)
    pos = 13
    if packed & 0x80:
        pos += 3 * (2 << (packed & 7))
    delays, frames, loop = [], 0, None
    pending = None

    def blocks(p):
        out = bytearray()
        while b[p]:
            out += b[p + 1:p + 1 + b[p]]
            p += 1 + b[p]
        return bytes(out), p + 1

    while True:
        tag = b[pos]
        if tag == 0x3B:
            break
        if tag == 0x21:
            label = b[pos + 1]
            if label == 0xF9:
                assert b[pos + 2] == 4, "GCE size"
                pending = struct.unpack_from("<H", b, pos + 4)[0]
                disposal = (b[pos + 3] >> 2) & 7
                assert disposal in (1, 2), "disposal %d" % disposal
                pos += 8
                assert b[pos - 1] == 0
            elif label == 0xFF:
                assert b[pos + 2] == 11
                app = b[pos + 3:pos + 14]
                data, pos = blocks(pos + 14)
                if app == b"NETSCAPE2.0":
                    assert data[0] == 1 and len(data) == 3
                    loop = struct.unpack_from("<H", data, 1)[0]
            else:
                _, pos = blocks(pos + 2)
        elif tag == 0x2C:
            x, y, fw, fh, fp = struct.unpack_from("<HHHHB", b, pos + 1)
            assert x + fw <= w and y + fh <= h, "frame outside the screen"
            pos += 10
            if fp & 0x80:
                pos += 3 * (2 << (fp & 7))
            min_size = b[pos]
            data, pos = blocks(pos + 1)
            got = lzw_decode_count(data, min_size)
            assert got == fw * fh, "frame %d decodes to %d pixels, wants %d" % (frames, got, fw * fh)
            assert pending is not None, "frame %d has no graphic control extension" % frames
            delays.append(pending)
            pending = None
            frames += 1
        else:
            raise AssertionError("unknown block 0x%02x at %d" % (tag, pos))
    assert pos == len(b) - 1, "bytes after the trailer"
    assert frames == nframes, "%d frames" % frames
    assert all(d == delay for d in delays), "delays %s" % delays
    assert loop == loops, "loop count %s" % loop
    return "%dx%d, %d frames, %d cs, loop %d" % (w, h, frames, delay, loop)


def check_bmp(name, w, h):
    b = read(name)
    magic, size, _, _, off = struct.unpack_from("<2sIHHI", b, 0)
    hs, bw, bh, planes, bpp, comp, isize = struct.unpack_from("<IiiHHII", b, 14)
    stride = (w * 3 + 3) & ~3
    assert magic == b"BM" and size == len(b) and off == 54, "file header"
    assert (hs, bw, abs(bh), planes, bpp, comp) == (40, w, h, 1, 24, 0), "info header"
    assert len(b) == 54 + stride * h, "pixel data size"
    px = b[54:]
    assert px[:3] == b"\xff\xff\xff", "corner is not white"
    return "%dx%d, 24 bpp, BI_RGB" % (w, h)


def png_pixels(data):
    """The width, height and RGBA rows of an 8-bit RGBA PNG."""
    assert data[:8] == b"\x89PNG\r\n\x1a\n", "PNG signature"
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + length]
        assert zlib.crc32(kind + body) == struct.unpack_from(">I", data, pos + 8 + length)[0], "%s CRC" % kind
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    assert header is not None and header[2:] == (8, 6, 0, 0, 0), "not 8-bit RGBA: %s" % (header,)
    w, h = header[:2]
    raw, stride, rows, above = zlib.decompress(idat), w * 4, [], bytes(w * 4)
    assert len(raw) == h * (stride + 1), "PNG data size"
    for y in range(h):
        kind, row = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = row[i - 4] if i >= 4 else 0
            b, c = above[i], above[i - 4] if i >= 4 else 0
            p = a + b - c
            paeth = a if abs(p - a) <= abs(p - b) and abs(p - a) <= abs(p - c) else b if abs(p - b) <= abs(p - c) else c
            row[i] = (row[i] + (0, a, b, (a + b) // 2, paeth)[kind]) & 255
        rows.append(bytes(row))
        above = row
    return w, h, rows


def dib_pixels(data, w, h):
    """The RGBA rows, top first, of a 32-bit icon bitmap with its mask."""
    hs, dw, dh, dplanes, dbpp, comp = struct.unpack_from("<IiiHHI", data, 0)
    assert (hs, dw, dh, dplanes, dbpp, comp) == (40, w, 2 * h, 1, 32, 0), "DIB header"
    xor = w * h * 4
    assert len(data) == 40 + xor + ((w + 31) // 32) * 4 * h, "DIB size"
    bgra = data[40:40 + xor]
    return [bytes(v for x in range(w) for v in (lambda p: (p[2], p[1], p[0], p[3]))(
        bgra[((h - 1 - y) * w + x) * 4:((h - 1 - y) * w + x) * 4 + 4])) for y in range(h)]


def icon_pictures(name):
    """Each picture of an icon file: its width and RGBA rows, and how it is stored."""
    b = read(name)
    res, typ, n = struct.unpack_from("<HHH", b, 0)
    assert (res, typ) == (0, 1), "directory header"
    pictures = []
    for i in range(n):
        w, h, colors, r, planes, bpp, nbytes, off = struct.unpack_from("<BBBBHHII", b, 6 + 16 * i)
        w, h = w or 256, h or 256
        assert (colors, planes, bpp) == (0, 1, 32), "entry %d fields" % i
        assert off + nbytes <= len(b)
        data = b[off:off + nbytes]
        if data[:4] == b"\x89PNG":
            pw, ph, rows = png_pixels(data)
            assert (pw, ph) == (w, h), "entry %d is %dx%d, its PNG %dx%d" % (i, w, h, pw, ph)
            pictures.append((w, rows, "png"))
        else:
            pictures.append((w, dib_pixels(data, w, h), "bmp"))
    return pictures


def check_ico(name, sizes):
    found, kinds = [], []
    for w, rows, kind in icon_pictures(name):
        alpha = b"".join(row[3::4] for row in rows)
        assert max(alpha) == 255 and min(alpha) == 0, "%d pixels: blank or no transparency" % w
        found.append(w)
        kinds.append("%d %s" % (w, kind))
    assert sorted(found) == sorted(sizes), "sizes %s" % found
    return ", ".join(kinds)


def main():
    failed = 0
    checks = [(n, check_gif, a) for n, a in GIFS.items()]
    checks.append(("logo.bmp", check_bmp, (274, 51)))
    checks += [(n, check_ico, (s,)) for n, s in ICONS.items()]
    for name, fn, args in checks:
        try:
            print("ok   %-22s %s" % (name, fn(name, *args)))
        except (AssertionError, OSError, struct.error, IndexError, zlib.error) as e:
            failed += 1
            print("FAIL %-22s %s" % (name, e))
    print("%d passed, %d failed" % (len(checks) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
