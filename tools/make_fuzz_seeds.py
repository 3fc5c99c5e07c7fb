#!/usr/bin/env python3
"""Writes the hand-made seeds of the fuzz corpora under fuzz/corpus/: dBase files
of every header variant the reader knows (dBase III, IV with memo, 7, FoxPro),
solved timetables with text and deleted rows, and small source documents in every
accepted encoding. The sample school and its exported tables are seeds too; they
are copied by this script from samples/ and from an export made by transvb."""
import pathlib
import re
import struct
import subprocess
import sys
import tempfile

ROOT = pathlib.Path(__file__).resolve().parent.parent
CORPUS = ROOT / 'fuzz' / 'corpus'


def dbf(version, fields, records, backlink=0):
    """fields: (name, type, length, decimals); records: bytes including the flag."""
    dbase7 = version & 0x07 == 4
    first, size = (68, 48) if dbase7 else (32, 32)
    type_at, length_at = (32, 33) if dbase7 else (11, 16)
    header = bytearray(first + size * len(fields) + 1 + backlink)
    record_length = 1 + sum(f[2] for f in fields)
    for i, (name, kind, length, decimals) in enumerate(fields):
        at = first + size * i
        header[at:at + len(name)] = name.encode('ascii')
        header[at + type_at] = ord(kind)
        header[at + length_at] = length
        header[at + length_at + 1] = decimals
    struct.pack_into('<BBBBIHH', header, 0, version, 124, 5, 17, len(records), len(header),
                     record_length)
    header[29] = 0x03
    header[first + size * len(fields)] = 0x0D
    for record in records:
        assert len(record) == record_length, (record, record_length)
    return bytes(header) + b''.join(records) + b'\x1a'


def dbase7_int(value):
    return struct.pack('>I', (value & 0xFFFFFFFF) ^ 0x80000000)


def dbase7_double(value):
    bits = struct.unpack('>Q', struct.pack('>d', value))[0]
    bits = bits ^ 0x8000000000000000 if value >= 0 else bits ^ 0xFFFFFFFFFFFFFFFF
    return struct.pack('>Q', bits)


def table_seeds():
    text = 'Matemáticas Ñandú €'.encode('cp1252')
    yield 'dbase3_numbers', dbf(0x03, [('NOMBRE', 'C', 20, 0), ('N', 'N', 11, 0),
                                       ('R', 'N', 20, 4), ('F', 'F', 8, 2)], [
        b' ' + text.ljust(20) + b'-3'.rjust(11) + b'1.5000'.rjust(20) + b'  -0.25 ',
        b'*' + b'borrada'.ljust(20) + b'7'.rjust(11) + b''.rjust(20) + b''.rjust(8),
        b' ' + b''.ljust(20) + b''.rjust(11) + b'-0.0001'.rjust(20) + b'1e3'.rjust(8)])
    yield 'dbase4_memo', dbf(0x8B, [('CLAVE', 'C', 4, 0), ('NOTA', 'M', 10, 0),
                                    ('HOY', 'D', 8, 0), ('SI', 'L', 1, 0)], [
        b' ABCD' + b'         1' + b'20240517' + b'T',
        b' $3C ' + b'          ' + b'        ' + b'?'])
    yield 'dbase7_binary', dbf(0x04, [('ID', 'I', 4, 0), ('AUTO', '+', 4, 0),
                                      ('REAL', 'O', 8, 0), ('CUANDO', '@', 8, 0),
                                      ('TEXTO', 'C', 6, 0)], [
        b' ' + dbase7_int(-60) + dbase7_int(1) + dbase7_double(2.5) +
        struct.pack('>II', 2460448, 3600000) + b'abc   ',
        b'*' + dbase7_int(7) + dbase7_int(2) + dbase7_double(-1.0) + bytes(8) + b'xyz   '])
    yield 'foxpro_binary', dbf(0x30, [('I', 'I', 4, 0), ('B', 'B', 8, 0),
                                      ('Y', 'Y', 8, 4), ('T', 'T', 8, 0),
                                      ('C', 'C', 3, 0)], [
        b' ' + struct.pack('<i', -2) + struct.pack('<d', 0.5) + struct.pack('<q', 123450000) +
        struct.pack('<II', 2460448, 0) + b'x  '], backlink=263)
    soluc = [('PROF', 'C', 4, 0), ('DIA', 'C', 2, 0), ('HORA', 'C', 2, 0),
             ('ASIG', 'C', 4, 0), ('CODGRUPO', 'C', 4, 0), ('AULA', 'C', 4, 0)]
    yield 'soluc_text_days', dbf(0x03, soluc, [
        b' MGAR 1 1MATE1ESOAULA', b'*MGAR 1 2MATE1ES1AU1 ', b' MGA1$2x1LENG1ES1AU1 ',
        b' CPV  3 1FILO1BTOR900', b' AIB 9999XXXXZZZZNADA'])


def documents():
    small = ('<?xml version="1.0" encoding="{enc}"?>\n<SERVICIO><ENTRADAS>'
             '<entrada dato="X_CENTRO">41000000</entrada></ENTRADAS><SALIDAS>'
             '<listasal seq="MATERIAS"><listasal><salida dato="X_MATERIAOMC">M1</salida>'
             '<salida dato="D_MATERIAOMC">Matemáticas <![CDATA[I]]></salida>'
             '<salida dato="C_MATERIAOMC">MATE</salida><salida>C1</salida>'
             '<salida>240</salida></listasal></listasal>'
             '<listasal seq="INTERVALOS"><listasal><salida dato="D_DIA">Lunes</salida>'
             '<salida dato="N_DIA">1</salida></listasal></listasal>'
             '<listasal seq="PROFESORES"><listasal><salida>P1</salida><salida>Ana Ñúñez</salida>'
             '<salida/><salida>AN</salida></listasal></listasal>'
             '</SALIDAS></SERVICIO>\n')
    yield 'utf8.xml', small.format(enc='UTF-8').encode('utf-8')
    yield 'utf8_bom.xml', b'\xef\xbb\xbf' + small.format(enc='UTF-8').encode('utf-8')
    yield 'utf16le.xml', small.format(enc='UTF-16').encode('utf-16')
    yield 'utf16be.xml', b'\xfe\xff' + small.format(enc='UTF-16').encode('utf-16-be')
    yield 'latin1.xml', small.format(enc='ISO-8859-1').encode('latin-1')
    yield 'cp1252.xml', small.format(enc='Windows-1252').replace('Lunes', 'Lunes €').encode(
        'cp1252')


def small_school(sample):
    """The sample school cut to its first two records of each list, on one line."""
    def first_two(match):
        records = re.findall(r'<listasal>.*?</listasal>', match.group(2), re.S)
        return match.group(1) + ''.join(records[:2]) + match.group(3)
    text = sample.decode('utf-8')
    text = re.sub(r'(<listasal seq="\w+">)(.*?)(\n    </listasal>)', first_two, text, flags=re.S)
    declaration, body = text.split('\n', 1)
    return (declaration + '\n' + re.sub(r'\n\s*', '', body)).encode('utf-8')


def main():
    transvb = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else ROOT / 'build/fuzz/cli/transvb'
    targets = {name: CORPUS / name for name in
               ('dbf_reader', 'document_lists', 'export', 'import', 'result_document')}
    for path in targets.values():
        path.mkdir(parents=True, exist_ok=True)
    for name, data in table_seeds():
        (targets['dbf_reader'] / (name + '.dbf')).write_bytes(data)
        if name.startswith('soluc'):
            (targets['import'] / (name + '.dbf')).write_bytes(data)
    sample_soluc = (ROOT / 'samples' / 'SOLUC.DBF').read_bytes()
    for target in ('dbf_reader', 'import'):
        (targets[target] / 'sample_soluc.dbf').write_bytes(sample_soluc)
    for name, data in documents():
        for target in ('document_lists', 'export', 'result_document'):
            (targets[target] / name).write_bytes(data)
    sample = (ROOT / 'samples' / 'colegio.xml').read_bytes()
    for target in ('document_lists', 'export', 'result_document'):
        (targets[target] / 'colegio.xml').write_bytes(sample)
        (targets[target] / 'small_school.xml').write_bytes(small_school(sample))
    with tempfile.TemporaryDirectory() as work:
        tables = pathlib.Path(work) / 'VTEMP'
        tables.mkdir()
        (pathlib.Path(work) / 'colegio.xml').write_bytes(sample)
        subprocess.run([transvb, 'exportar', pathlib.Path(work) / 'colegio.xml', '--tablas',
                        tables], check=True, stdout=subprocess.DEVNULL)
        for table in ('CURSOST', 'GRUPOST', 'AULAT', 'PROFT', 'ASIGNOMT'):
            data = (tables / (table + '.DBF')).read_bytes()
            (targets['dbf_reader'] / ('sample_' + table.lower() + '.dbf')).write_bytes(data)


if __name__ == '__main__':
    main()
