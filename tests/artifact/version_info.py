"""Parses a VS_VERSIONINFO resource into its fixed part (VS_FIXEDFILEINFO), its
string tables by language key and its Translation pairs. Raises VersionError when
the node lengths do not add up."""

import struct

FIXED_SIGNATURE = 0xFEEF04BD


class VersionError(Exception):
    pass


class Node:
    def __init__(self, key, value_type, value, children):
        self.key = key
        self.value_type = value_type  # 1 text, 0 binary
        self.value = value            # bytes
        self.children = children


def _align(at):
    return (at + 3) & ~3


def parse_node(data, at, limit):
    """The node at `at`, which must end by `limit`; returns (node, end)."""
    if at + 6 > limit:
        raise VersionError("node header at +0x%x runs past its parent" % at)
    length, value_length, value_type = struct.unpack_from("<HHH", data, at)
    end = at + length
    if length < 6 or end > limit:
        raise VersionError("node at +0x%x has length %d, past its parent's end" % (at, length))
    key_start = at + 6
    key_end = key_start
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
        if key_end + 2 > end:
            raise VersionError("unterminated key at +0x%x" % key_start)
    key = data[key_start:key_end].decode("utf-16-le")
    value_start = _align(key_end + 2)
    value_size = value_length * 2 if value_type == 1 else value_length
    if value_start + value_size > end:
        raise VersionError("value of %r runs past its node" % key)
    value = data[value_start:value_start + value_size]
    children = []
    child = _align(value_start + value_size)
    while child < end:
        node, child_end = parse_node(data, child, end)
        children.append(node)
        child = _align(child_end)
    return Node(key, value_type, value, children), end


class VersionInfo:
    pass


def text_value(node):
    """A String node's text without its terminating NUL."""
    text = node.value.decode("utf-16-le")
    if not text.endswith("\0"):
        raise VersionError("value of %r lacks its terminating NUL" % node.key)
    return text[:-1]


def parse(data):
    root, end = parse_node(data, 0, len(data))
    if root.key != "VS_VERSION_INFO":
        raise VersionError("root key %r" % root.key)
    if len(root.value) != 52:
        raise VersionError("VS_FIXEDFILEINFO of %d bytes" % len(root.value))
    fields = struct.unpack("<13I", root.value)
    if fields[0] != FIXED_SIGNATURE:
        raise VersionError("VS_FIXEDFILEINFO signature 0x%08X" % fields[0])
    v = VersionInfo()
    (_, _, file_ms, file_ls, product_ms, product_ls, v.flags_mask, v.flags, v.os,
     v.file_type, v.file_subtype, date_ms, date_ls) = fields
    v.file_version = (file_ms >> 16, file_ms & 0xFFFF, file_ls >> 16, file_ls & 0xFFFF)
    v.product_version = (product_ms >> 16, product_ms & 0xFFFF, product_ls >> 16, product_ls & 0xFFFF)
    v.file_date = (date_ms, date_ls)
    v.string_tables = {}
    v.translations = None
    v.other_blocks = []
    for block in root.children:
        if block.key == "StringFileInfo":
            for table in block.children:
                if table.key in v.string_tables:
                    raise VersionError("string table %s twice" % table.key)
                v.string_tables[table.key] = [(s.key, text_value(s), s.value_type)
                                              for s in table.children]
        elif block.key == "VarFileInfo":
            for var in block.children:
                if var.key != "Translation" or len(var.value) % 4:
                    raise VersionError("VarFileInfo child %r of %d bytes" % (var.key, len(var.value)))
                v.translations = list(struct.iter_unpack("<HH", var.value))
        else:
            v.other_blocks.append(block.key)
    return v
