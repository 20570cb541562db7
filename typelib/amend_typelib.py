#!/usr/bin/env python3
"""Adds to widl's type library what the IDL states but widl cannot write.

widl refuses help strings on enumeration members and [nonextensible]/[version] on a dispinterface, so the IDL
keeps those facts in comments that this step reads:

    // amend: dispinterface __ucCardel nonextensible version(1.0)
    // amend: enum members helpstring = name

and writes them into the binary (MSFT) library. The file is rebuilt piece by piece rather than patched in place,
because help strings grow the string table and every enumeration member's record: each segment and each type's
member block is moved as a whole and every absolute offset is remapped. Anything in the file this step does not
understand stops the build instead of producing a library that loads differently.

Usage: amend_typelib.py IDL IN_TLB OUT_TLB
"""
import re
import struct
import sys

HEADER_INTS = 21
HELPDLL_FLAG = 0x100
SEGMENTS = 15
SEG_TYPEINFO = 0
SEG_STRING = 8
TYPEINFO_SIZE = 0x64
TKIND_ENUM = 0
TYPEFLAG_FNONEXTENSIBLE = 0x80
VAR_RECORD_BASE = 0x14
VAR_RECORD_WITH_HELP = 0x1C  # + HelpContext, HelpString


class Layout(Exception):
    pass


def read_amendments(idl_text):
    dispinterfaces = {}
    enum_help = False
    for line in idl_text.splitlines():
        m = re.match(r'\s*//\s*amend:\s*(.*)$', line)
        if not m:
            continue
        words = m.group(1).split()
        if words[:1] == ['dispinterface'] and len(words) >= 2:
            flags, version = 0, None
            for w in words[2:]:
                if w == 'nonextensible':
                    flags |= TYPEFLAG_FNONEXTENSIBLE
                elif (v := re.fullmatch(r'version\((\d+)\.(\d+)\)', w)):
                    version = int(v.group(1)) | (int(v.group(2)) << 16)
                else:
                    raise Layout('unknown dispinterface amendment: ' + w)
            dispinterfaces[words[1]] = (flags, version)
        elif words == ['enum', 'members', 'helpstring', '=', 'name']:
            enum_help = True
        else:
            raise Layout('unknown amendment: ' + m.group(1))
    return dispinterfaces, enum_help


class TypeLib:
    def __init__(self, data):
        self.data = bytearray(data)
        if struct.unpack_from('<I', data, 0)[0] != 0x5446534D:
            raise Layout('not an MSFT type library')
        self.header = list(struct.unpack_from('<%di' % HEADER_INTS, data, 0))
        pos = HEADER_INTS * 4
        self.helpdll = None
        if self.header[5] & HELPDLL_FLAG:
            self.helpdll = struct.unpack_from('<i', data, pos)[0]
            pos += 4
        count = self.header[8]
        self.typeinfo_offsets = list(struct.unpack_from('<%di' % count, data, pos))
        pos += 4 * count
        self.segments = [list(struct.unpack_from('<4i', data, pos + 16 * i)) for i in range(SEGMENTS)]
        self.prefix_end = pos + 16 * SEGMENTS

    def segment(self, index):
        offset, length = self.segments[index][:2]
        return bytearray(self.data[offset:offset + length]) if offset >= 0 else bytearray()

    def typeinfo_base(self, index):
        return self.segments[SEG_TYPEINFO][0] + self.typeinfo_offsets[index]

    def typeinfo_field(self, index, field):
        return struct.unpack_from('<i', self.data, self.typeinfo_base(index) + 4 * field)[0]

    def member_block(self, index):
        offset = self.typeinfo_field(index, 1)
        elements = self.typeinfo_field(index, 6)
        members = (elements & 0xFFFF) + ((elements >> 16) & 0xFFFF)
        if members == 0:
            return offset, 0
        infolen = struct.unpack_from('<i', self.data, offset)[0]
        return offset, 4 + infolen + 12 * members

    def name(self, name_offset):
        nametab = self.segments[7][0]
        length = struct.unpack_from('<i', self.data, nametab + name_offset + 8)[0] & 0xFF
        start = nametab + name_offset + 12
        return self.data[start:start + length].decode('latin-1')


def encode_string(text):
    raw = text.encode('latin-1')
    encoded = struct.pack('<H', len(raw)) + raw
    return encoded + b'\x57' * (-len(encoded) % 4)


def intern_string(table, text):
    encoded = encode_string(text)
    offset = 0
    while offset < len(table):
        length = struct.unpack_from('<H', table, offset)[0]
        size = (length + 5) & ~3
        if table[offset:offset + size] == encoded:
            return offset
        offset += size
    table += encoded
    return offset


def enum_block_with_help(lib, block, strings):
    """The member block of an enumeration whose records carry each member's name as help string."""
    infolen = struct.unpack_from('<i', block, 0)[0]
    tail = block[4 + infolen:]
    members = len(tail) // 12
    ids = tail[:4 * members]
    names = struct.unpack_from('<%di' % members, tail, 4 * members)
    offsets = struct.unpack_from('<%di' % members, tail, 8 * members)
    records = bytearray()
    new_offsets = []
    for name_offset, record_offset in zip(names, offsets):
        start = 4 + record_offset
        info = struct.unpack_from('<i', block, start)[0]
        if info & 0xFF != VAR_RECORD_BASE:
            raise Layout('enumeration member record of unexpected size %#x' % (info & 0xFF))
        record = bytearray(block[start:start + VAR_RECORD_BASE])
        struct.pack_into('<i', record, 0, (info & ~0xFF) | VAR_RECORD_WITH_HELP)
        record += struct.pack('<ii', 0, intern_string(strings, lib.name(name_offset)))
        new_offsets.append(len(records))
        records += record
    return (struct.pack('<i', len(records)) + records + ids + struct.pack('<%di' % members, *names)
            + struct.pack('<%di' % members, *new_offsets))


def amend(data, idl_text):
    dispinterfaces, enum_help = read_amendments(idl_text)
    lib = TypeLib(data)
    count = len(lib.typeinfo_offsets)
    strings = lib.segment(SEG_STRING)
    typeinfos = lib.segment(SEG_TYPEINFO)

    # Every piece after the directory: segments and member blocks, by where they start.
    pieces = []
    for index, (offset, length, _, _) in enumerate(lib.segments):
        if offset >= 0 and length > 0:
            pieces.append((offset, length, ('segment', index)))
    for index in range(count):
        offset, length = lib.member_block(index)
        if length:
            pieces.append((offset, length, ('members', index)))
    pieces.sort()
    cursor = lib.prefix_end
    for offset, length, _ in pieces:
        if offset != cursor:
            raise Layout('unexpected bytes at %#x' % cursor)
        cursor += length
    if cursor != len(data):
        raise Layout('unexpected bytes at the end of the library')

    found = set()
    blocks = {}
    for index in range(count):
        base = lib.typeinfo_offsets[index]
        kind = struct.unpack_from('<i', typeinfos, base)[0] & 0xF
        name = lib.name(struct.unpack_from('<i', typeinfos, base + 0x34)[0])
        if name in dispinterfaces:
            flags, version = dispinterfaces[name]
            struct.pack_into('<i', typeinfos, base + 0x30, struct.unpack_from('<i', typeinfos, base + 0x30)[0] | flags)
            if version is not None:
                struct.pack_into('<i', typeinfos, base + 0x38, version)
            found.add(name)
        offset, length = lib.member_block(index)
        if enum_help and kind == TKIND_ENUM and length:
            blocks[index] = enum_block_with_help(lib, bytes(lib.data[offset:offset + length]), strings)
    missing = set(dispinterfaces) - found
    if missing:
        raise Layout('no such dispinterface: ' + ', '.join(sorted(missing)))

    # Reassemble with the grown pieces, then point every absolute offset at the new places.
    content = {('segment', SEG_STRING): strings, ('segment', SEG_TYPEINFO): typeinfos}
    body = bytearray()
    moved = {}
    for offset, length, key in pieces:
        piece = blocks.get(key[1]) if key[0] == 'members' and key[1] in blocks else content.get(key)
        piece = piece if piece is not None else lib.data[offset:offset + length]
        moved[key] = (lib.prefix_end + len(body), len(piece))
        body += piece
    end = lib.prefix_end + len(body)

    for index in range(SEGMENTS):
        if ('segment', index) in moved:
            lib.segments[index][0:2] = moved[('segment', index)]
    new_typeinfos = content[('segment', SEG_TYPEINFO)]
    typeinfo_start = moved[('segment', SEG_TYPEINFO)][0]
    for index in range(count):
        base = lib.typeinfo_offsets[index]
        new = moved.get(('members', index), (end, 0))[0]
        struct.pack_into('<i', new_typeinfos, base + 4, new)
    body[typeinfo_start - lib.prefix_end:typeinfo_start - lib.prefix_end + len(new_typeinfos)] = new_typeinfos

    out = bytearray(struct.pack('<%di' % HEADER_INTS, *lib.header))
    if lib.helpdll is not None:
        out += struct.pack('<i', lib.helpdll)
    out += struct.pack('<%di' % count, *lib.typeinfo_offsets)
    for segment in lib.segments:
        out += struct.pack('<4i', *segment)
    return bytes(out + body)


def main(argv):
    if len(argv) != 4:
        sys.exit(__doc__)
    with open(argv[1], encoding='utf-8') as idl, open(argv[2], 'rb') as tlb:
        try:
            amended = amend(tlb.read(), idl.read())
        except (Layout, struct.error) as error:
            sys.exit('amend_typelib: %s: %s' % (argv[2], error))
    with open(argv[3], 'wb') as out:
        out.write(amended)


if __name__ == '__main__':
    main(sys.argv)
