"""Parses a classic (not extended) DLGTEMPLATE resource: the header with its menu,
class, caption and font, then each DLGITEMTEMPLATE. Raises TemplateError on bytes
that do not form a template; reports what lies after the last item."""

import struct

DS_SETFONT = 0x40


class TemplateError(Exception):
    pass


class Dialog:
    pass


class Item:
    pass


class _Reader:
    def __init__(self, data):
        self.data = data
        self.at = 0

    def take(self, fmt):
        size = struct.calcsize(fmt)
        if self.at + size > len(self.data):
            raise TemplateError("template ends inside a field at +0x%x" % self.at)
        values = struct.unpack_from(fmt, self.data, self.at)
        self.at += size
        return values if len(values) > 1 else values[0]

    def text(self):
        """A NUL-terminated UTF-16 text."""
        end = self.at
        while True:
            if end + 2 > len(self.data):
                raise TemplateError("unterminated text from +0x%x" % self.at)
            if self.data[end:end + 2] == b"\0\0":
                break
            end += 2
        value = self.data[self.at:end].decode("utf-16-le")
        self.at = end + 2
        return value

    def text_or_ordinal(self):
        """None for 0x0000, an int for 0xFFFF + ordinal, else the text."""
        first = self.take("<H")
        if first == 0:
            return None
        if first == 0xFFFF:
            return self.take("<H")
        self.at -= 2
        return self.text()

    def align_dword(self):
        self.at = (self.at + 3) & ~3


def parse(data):
    r = _Reader(data)
    if len(data) >= 4 and struct.unpack_from("<HH", data) == (1, 0xFFFF):
        raise TemplateError("an extended template (DLGTEMPLATEEX), not a classic one")
    d = Dialog()
    d.style, d.exstyle, count, d.x, d.y, d.cx, d.cy = r.take("<IIHhhhh")
    d.menu = r.text_or_ordinal()
    d.window_class = r.text_or_ordinal()
    d.caption = r.text()
    d.font_size = d.font_face = None
    if d.style & DS_SETFONT:
        d.font_size = r.take("<H")
        d.font_face = r.text()
    d.items = []
    for _ in range(count):
        r.align_dword()
        it = Item()
        it.offset = r.at
        it.style, it.exstyle, it.x, it.y, it.cx, it.cy, it.id = r.take("<IIhhhhH")
        it.window_class = r.text_or_ordinal()
        it.text = r.text_or_ordinal()
        extra = r.take("<H")
        it.creation_data = data[r.at:r.at + extra]
        if r.at + extra > len(data):
            raise TemplateError("creation data of item %d runs past the template" % len(d.items))
        r.at += extra
        d.items.append(it)
    d.trailing = data[r.at:]
    return d
