#!/usr/bin/env python3
"""The type-library post-processor against widl's real output: what each amendment writes, that nothing else
moves, and that a file it does not understand stops the build.

Usage: amend_typelib_test.py AMEND_SCRIPT IDL WIDL_TLB
"""
import struct
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

SCRIPT, IDL, WIDL_TLB = (Path(arg) for arg in sys.argv[1:4])
del sys.argv[1:4]

# The source tree is no place for a compiled copy of the script.
sys.dont_write_bytecode = True
sys.path.insert(0, str(SCRIPT.parent))
import amend_typelib  # noqa: E402  (found only once its folder is on the path)

DISPINTERFACE = '__ucCardel'
FLAGS_FIELD, NAME_FIELD, VERSION_FIELD = 0x30, 0x34, 0x38


def typeinfos(lib):
    """(index, kind, name) of every type in the library."""
    segment = lib.segment(amend_typelib.SEG_TYPEINFO)
    for index, base in enumerate(lib.typeinfo_offsets):
        kind = struct.unpack_from('<i', segment, base)[0] & 0xF
        yield index, kind, lib.name(struct.unpack_from('<i', segment, base + NAME_FIELD)[0])


def field(lib, name, offset):
    index = next(i for i, _, n in typeinfos(lib) if n == name)
    return struct.unpack_from('<i', lib.segment(amend_typelib.SEG_TYPEINFO), lib.typeinfo_offsets[index] + offset)[0]


def enum_members(lib):
    """(member name, help string or None) of every enumeration member, read from the records."""
    strings = lib.segment(amend_typelib.SEG_STRING)
    for index, kind, _ in typeinfos(lib):
        offset, length = lib.member_block(index)
        if kind != amend_typelib.TKIND_ENUM or not length:
            continue
        block = lib.data[offset:offset + length]
        infolen = struct.unpack_from('<i', block, 0)[0]
        tail = block[4 + infolen:]
        count = len(tail) // 12
        names = struct.unpack_from('<%di' % count, tail, 4 * count)
        records = struct.unpack_from('<%di' % count, tail, 8 * count)
        for name_offset, record in zip(names, records):
            size = struct.unpack_from('<i', block, 4 + record)[0] & 0xFF
            help_text = None
            if size == amend_typelib.VAR_RECORD_WITH_HELP:
                at = struct.unpack_from('<i', block, 4 + record + 0x18)[0]
                length_of_text = struct.unpack_from('<H', strings, at)[0]
                help_text = strings[at + 2:at + 2 + length_of_text].decode('latin-1')
            yield lib.name(name_offset), help_text


class Amendments(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.widl = WIDL_TLB.read_bytes()
        cls.idl = IDL.read_text(encoding='utf-8')
        cls.plain = amend_typelib.TypeLib(cls.widl)

    def test_nothing_amended_gives_widls_bytes_back(self):
        self.assertEqual(amend_typelib.amend(self.widl, 'library VelmarCardel {}\n'), self.widl)

    def test_nonextensible_alone_sets_only_that_flag(self):
        amended = amend_typelib.TypeLib(amend_typelib.amend(
            self.widl, '// amend: dispinterface %s nonextensible\n' % DISPINTERFACE))
        before = field(self.plain, DISPINTERFACE, FLAGS_FIELD)
        self.assertEqual(field(amended, DISPINTERFACE, FLAGS_FIELD),
                         before | amend_typelib.TYPEFLAG_FNONEXTENSIBLE)
        self.assertEqual(field(amended, DISPINTERFACE, VERSION_FIELD), field(self.plain, DISPINTERFACE, VERSION_FIELD))
        self.assertEqual(len(amended.data), len(self.widl))

    def test_version_alone_sets_major_and_minor(self):
        amended = amend_typelib.TypeLib(amend_typelib.amend(
            self.widl, '// amend: dispinterface %s version(3.7)\n' % DISPINTERFACE))
        self.assertEqual(field(amended, DISPINTERFACE, VERSION_FIELD), 3 | (7 << 16))
        self.assertEqual(field(amended, DISPINTERFACE, FLAGS_FIELD), field(self.plain, DISPINTERFACE, FLAGS_FIELD))

    def test_enumeration_help_alone_names_every_member_and_keeps_the_rest(self):
        before = list(enum_members(self.plain))
        self.assertTrue(before)
        self.assertTrue(all(help_text is None for _, help_text in before))
        amended = amend_typelib.TypeLib(amend_typelib.amend(self.widl, '// amend: enum members helpstring = name\n'))
        self.assertEqual(list(enum_members(amended)), [(name, name) for name, _ in before])
        self.assertEqual([(n, k) for _, k, n in typeinfos(amended)], [(n, k) for _, k, n in typeinfos(self.plain)])
        self.assertEqual(field(amended, DISPINTERFACE, FLAGS_FIELD), field(self.plain, DISPINTERFACE, FLAGS_FIELD))

    def test_the_build_amends_what_the_idl_states(self):
        amended = amend_typelib.TypeLib(amend_typelib.amend(self.widl, self.idl))
        self.assertTrue(field(amended, DISPINTERFACE, FLAGS_FIELD) & amend_typelib.TYPEFLAG_FNONEXTENSIBLE)
        self.assertTrue(all(name == help_text for name, help_text in enum_members(amended)))


class UnknownLayouts(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.widl = WIDL_TLB.read_bytes()

    def run_script(self, tlb, idl_text):
        with tempfile.TemporaryDirectory() as folder:
            idl, source, target = (Path(folder) / name for name in ('in.idl', 'in.tlb', 'out.tlb'))
            idl.write_text(idl_text, encoding='utf-8')
            source.write_bytes(tlb)
            result = subprocess.run([sys.executable, str(SCRIPT), str(idl), str(source), str(target)],
                                    capture_output=True, text=True)
            return result, target.exists()

    def assert_stops(self, tlb, idl_text, message):
        result, written = self.run_script(tlb, idl_text)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn('amend_typelib:', result.stderr)
        self.assertIn(message, result.stderr)
        self.assertFalse(written)

    def test_a_file_that_is_no_type_library(self):
        self.assert_stops(b'MZ' + self.widl[2:], '', 'not an MSFT type library')

    def test_bytes_the_layout_does_not_account_for(self):
        self.assert_stops(self.widl + b'\0' * 16, '', 'unexpected bytes at the end')

    def test_a_truncated_library(self):
        self.assert_stops(self.widl[:200], '', 'amend_typelib:')

    def test_an_amendment_it_does_not_know(self):
        self.assert_stops(self.widl, '// amend: coclass ucCardel hidden\n', 'unknown amendment')

    def test_a_dispinterface_the_library_lacks(self):
        self.assert_stops(self.widl, '// amend: dispinterface __nothing nonextensible\n', 'no such dispinterface')

    def test_an_enumeration_record_of_another_size(self):
        amended = amend_typelib.amend(self.widl, '// amend: enum members helpstring = name\n')
        self.assert_stops(amended, '// amend: enum members helpstring = name\n', 'unexpected size')

    def test_a_good_library_is_written(self):
        result, written = self.run_script(self.widl, '')
        self.assertEqual(result.returncode, 0, result.stderr)
        self.assertTrue(written)


if __name__ == '__main__':
    unittest.main(verbosity=1)
