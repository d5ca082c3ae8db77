#!/usr/bin/python3
# Reads every picture in this folder back with its own parsers (no imaging library) and checks
# the numbers the program relies on. Needs only python3. Run: python3 assets/check_assets.py
import os
import struct
import sys

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


def check_ico(name, sizes):
    b = read(name)
    res, typ, n = struct.unpack_from("<HHH", b, 0)
    assert (res, typ) == (0, 1) and n == len(sizes), "directory header"
    found = []
    for i in range(n):
        w, h, colors, r, planes, bpp, nbytes, off = struct.unpack_from("<BBBBHHII", b, 6 + 16 * i)
        w, h = w or 256, h or 256
        assert (colors, planes, bpp) == (0, 1, 32), "entry %d fields" % i
        assert off + nbytes <= len(b)
        hs, dw, dh, dplanes, dbpp, comp = struct.unpack_from("<IiiHHI", b, off)
        assert (hs, dw, dh, dplanes, dbpp, comp) == (40, w, 2 * h, 1, 32, 0), "entry %d DIB header" % i
        xor = w * h * 4
        mask = ((w + 31) // 32) * 4 * h
        assert nbytes == 40 + xor + mask, "entry %d size" % i
        alpha = b[off + 40 + 3:off + 40 + xor:4]
        assert max(alpha) == 255 and min(alpha) == 0, "entry %d is blank or has no transparency" % i
        found.append(w)
    assert sorted(found) == sorted(sizes), "sizes %s" % found
    return "sizes %s, 32 bpp" % (sorted(found),)


def main():
    failed = 0
    checks = [(n, check_gif, a) for n, a in GIFS.items()]
    checks.append(("logo.bmp", check_bmp, (274, 51)))
    checks += [(n, check_ico, (s,)) for n, s in ICONS.items()]
    for name, fn, args in checks:
        try:
            print("ok   %-22s %s" % (name, fn(name, *args)))
        except (AssertionError, OSError, struct.error, IndexError) as e:
            failed += 1
            print("FAIL %-22s %s" % (name, e))
    print("%d passed, %d failed" % (len(checks) - failed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
