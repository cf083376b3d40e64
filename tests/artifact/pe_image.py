"""Reads a PE32 image from its bytes: headers, sections, data directories, the
import and export tables and the resource tree. Just enough for the artifact
checks; anything malformed raises PeFormatError naming what was wrong."""

import struct

IMAGE_DIRECTORY_EXPORT = 0
IMAGE_DIRECTORY_IMPORT = 1
IMAGE_DIRECTORY_RESOURCE = 2
IMAGE_DIRECTORY_BASERELOC = 5

IMAGE_FILE_RELOCS_STRIPPED = 0x0001
IMAGE_FILE_DLL = 0x2000
IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE = 0x0040
IMAGE_DLLCHARACTERISTICS_NX_COMPAT = 0x0100
IMAGE_SCN_MEM_EXECUTE = 0x20000000
IMAGE_SCN_MEM_WRITE = 0x80000000
IMAGE_SCN_CNT_CODE = 0x00000020

PE32_MAGIC = 0x10B
MACHINE_I386 = 0x14C


class PeFormatError(Exception):
    pass


class Section:
    def __init__(self, name, virtual_size, rva, raw_size, raw_offset, characteristics):
        self.name = name
        self.virtual_size = virtual_size
        self.rva = rva
        self.raw_size = raw_size
        self.raw_offset = raw_offset
        self.characteristics = characteristics

    def contains_rva(self, rva):
        return self.rva <= rva < self.rva + max(self.virtual_size, self.raw_size)


class ResourceEntry:
    """One leaf of the resource tree: type / name / language and its bytes."""

    def __init__(self, type_id, name_id, language, data, offset):
        self.type_id = type_id      # int or str
        self.name_id = name_id      # int or str
        self.language = language    # int
        self.data = data
        self.offset = offset        # of the data in the file


class PeImage:
    def __init__(self, data):
        self.data = bytes(data)
        self._parse_headers()

    # --- headers -------------------------------------------------------------

    def _parse_headers(self):
        d = self.data
        if len(d) < 0x40 or d[:2] != b"MZ":
            raise PeFormatError("no MZ header")
        self.pe_offset = self.u32(0x3C)
        if d[self.pe_offset:self.pe_offset + 4] != b"PE\0\0":
            raise PeFormatError("no PE signature")
        coff = self.pe_offset + 4
        (self.machine, section_count, self.timestamp, _, _, optional_size,
         self.file_characteristics) = struct.unpack_from("<HHIIIHH", d, coff)
        self.optional_offset = coff + 20
        self.magic = self.u16(self.optional_offset)
        if self.magic != PE32_MAGIC:
            raise PeFormatError("optional header magic 0x%x is not PE32" % self.magic)
        o = self.optional_offset
        self.image_base = self.u32(o + 28)
        self.dll_characteristics_offset = o + 70
        self.dll_characteristics = self.u16(o + 70)
        directory_count = self.u32(o + 92)
        self.directories = [struct.unpack_from("<II", d, o + 96 + 8 * i)
                            for i in range(min(directory_count, 16))]
        self.section_table_offset = o + optional_size
        self.sections = []
        for i in range(section_count):
            at = self.section_table_offset + 40 * i
            raw_name, vsize, rva, raw_size, raw_offset = struct.unpack_from("<8sIIII", d, at)
            characteristics = self.u32(at + 36)
            name = raw_name.rstrip(b"\0").decode("ascii", "replace")
            self.sections.append(Section(name, vsize, rva, raw_size, raw_offset, characteristics))

    def section_header_offset(self, index):
        return self.section_table_offset + 40 * index

    # --- primitive reads -----------------------------------------------------

    def u16(self, offset):
        return struct.unpack_from("<H", self.data, offset)[0]

    def u32(self, offset):
        return struct.unpack_from("<I", self.data, offset)[0]

    def offset_of_rva(self, rva):
        for s in self.sections:
            if s.contains_rva(rva):
                delta = rva - s.rva
                if delta >= s.raw_size:
                    raise PeFormatError("RVA 0x%x lies in the unstored tail of %s" % (rva, s.name))
                return s.raw_offset + delta
        raise PeFormatError("RVA 0x%x is in no section" % rva)

    def bytes_at_rva(self, rva, size):
        start = self.offset_of_rva(rva)
        if start + size > len(self.data):
            raise PeFormatError("%d bytes at RVA 0x%x run past the file" % (size, rva))
        return self.data[start:start + size]

    def ascii_at_rva(self, rva):
        start = self.offset_of_rva(rva)
        end = self.data.index(b"\0", start)
        return self.data[start:end].decode("ascii")

    def directory(self, index):
        if index >= len(self.directories):
            return (0, 0)
        return self.directories[index]

    def section_of_rva(self, rva):
        for s in self.sections:
            if s.contains_rva(rva):
                return s
        return None

    # --- imports -------------------------------------------------------------

    def imported_dll_names(self):
        rva, size = self.directory(IMAGE_DIRECTORY_IMPORT)
        names = []
        if not rva:
            return names
        at = self.offset_of_rva(rva)
        while True:
            lookup, _, _, name_rva, thunk = struct.unpack_from("<IIIII", self.data, at)
            if not (lookup or name_rva or thunk):
                return names
            names.append(self.ascii_at_rva(name_rva))
            at += 20

    # --- exports -------------------------------------------------------------

    def export_directory(self):
        """(ordinal base, [function RVA by index], {name: index}) of the export table."""
        rva, _ = self.directory(IMAGE_DIRECTORY_EXPORT)
        if not rva:
            raise PeFormatError("no export directory")
        at = self.offset_of_rva(rva)
        (_, _, _, _, _, base, function_count, name_count,
         functions_rva, names_rva, ordinals_rva) = struct.unpack_from("<IIHHIIIIIII", self.data, at)
        functions = list(struct.unpack("<%dI" % function_count,
                                       self.bytes_at_rva(functions_rva, 4 * function_count)))
        name_rvas = struct.unpack("<%dI" % name_count, self.bytes_at_rva(names_rva, 4 * name_count))
        indices = struct.unpack("<%dH" % name_count, self.bytes_at_rva(ordinals_rva, 2 * name_count))
        names = {self.ascii_at_rva(n): i for n, i in zip(name_rvas, indices)}
        return base, functions, names

    # --- resources -----------------------------------------------------------

    def resources(self):
        """Every leaf of the resource tree as a ResourceEntry."""
        rva, _ = self.directory(IMAGE_DIRECTORY_RESOURCE)
        if not rva:
            return []
        root = self.offset_of_rva(rva)
        leaves = []
        for type_id, type_dir in self._resource_children(root, root):
            for name_id, name_dir in self._resource_children(root, type_dir):
                for language, leaf in self._resource_children(root, name_dir):
                    if not isinstance(language, int):
                        raise PeFormatError("resource language given as a name")
                    data_rva, size = struct.unpack_from("<II", self.data, leaf)
                    leaves.append(ResourceEntry(type_id, name_id, language,
                                                self.bytes_at_rva(data_rva, size),
                                                self.offset_of_rva(data_rva)))
        return leaves

    def _resource_children(self, root, directory):
        named, numbered = struct.unpack_from("<HH", self.data, directory + 12)
        for i in range(named + numbered):
            name_field, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
            if name_field & 0x80000000:
                at = root + (name_field & 0x7FFFFFFF)
                length = self.u16(at)
                key = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            else:
                key = name_field
            yield key, root + (target & 0x7FFFFFFF)


def load(path):
    with open(path, "rb") as f:
        return PeImage(f.read())
