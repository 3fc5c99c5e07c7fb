#!/usr/bin/env python3
"""Writes samples/SOLUC.DBF: a solved timetable for the sample school, as the
timetabling program would leave it after an export of samples/colegio.xml.
It names teachers, subjects, groups and rooms by the short codes that export
gives them, and includes rows the import must pass over (day 0) or cannot match.
Written with its own small dBase III writer, independent of the tool's engine."""
import datetime
import struct

FIELDS = [('PROF', 'C', 4, 0), ('DIA', 'N', 2, 0), ('HORA', 'N', 2, 0),
          ('ASIG', 'C', 4, 0), ('CODGRUPO', 'C', 4, 0), ('AULA', 'C', 4, 0)]

ROWS = [
    # teacher, day, period, subject, group, room
    ('MGAR', 1, 1, 'MATE', '1ESO', 'AULA'),
    ('MGAR', 1, 2, 'MATE', '1ES1', 'AU1'),
    ('MGAR', 2, 1, 'MATE', '1ES2', 'AU2'),
    ('MGAR', 0, 3, 'MATE', '1ESO', 'AULA'),   # day 0: not a slot
    ('MGAR', 3, 5, 'MAT1', '2ESO', 'AU2'),
    ('MGAR', 4, 4, 'GUAR', '1ESO', 'BIBL'),   # break duty: task number 281
    ('MGA1', 1, 1, 'LENG', '1ES1', 'AU1'),
    ('MGA1', 2, 2, 'LEN1', '2ES1', 'AU2'),
    ('MGA1', 5, 6, 'REUN', '', ''),           # a task: its key comes from ASIGNOMT
    ('JLNÚ', 1, 3, 'FQ', '2ESO', 'LAB'),
    ('JLNÚ', 2, 3, 'FQ', '2ES1', 'LA1'),
    ('JLNÚ', 3, 3, 'TECN', '2ESO', 'LA1'),
    ('AIB', 1, 5, 'INGL', '1ESO', 'AULA'),
    ('AIB', 2, 5, 'ING1', '2ESO', 'AU2'),
    ('AIB', 3, 7, 'XXXX', 'ZZZZ', 'NADA'),    # codes that match nothing
    ('IMS', 1, 6, 'EFIS', '1ESO', 'GIM'),
    ('IMS', 2, 6, 'EFI1', '2ES1', 'GIM'),
    ('CPV', 3, 1, 'FILO', '1BTO', 'R900'),
    ('CPV', 4, 1, 'BIBL', '1ES2', 'BIBL'),    # library support: task number 286
    ("L'FO", 5, 2, 'GEHI', '1ES1', 'AU1'),    # a quote in the abbreviation
    ("L'FO", 5, 3, 'GUA1', '', ''),           # corridor duty, a task
    ('BAD', 0, 0, '', '', ''),
    ('ZZZ', 1, 1, 'MATE', '1ESO', 'AULA'),    # no such teacher
]


def encode(text, width):
    return text.encode('cp1252')[:width].ljust(width, b' ')


def main():
    today = datetime.date.today()
    record_length = 1 + sum(f[2] for f in FIELDS)
    header_length = 32 + 32 * len(FIELDS) + 1
    out = bytearray(struct.pack('<BBBBIHH', 0x03, today.year - 1900, today.month, today.day,
                                len(ROWS), header_length, record_length))
    out += bytes(17) + b'\x03' + bytes(2)
    for name, kind, width, decimals in FIELDS:
        out += name.encode('ascii').ljust(11, b'\0') + kind.encode('ascii') + bytes(4)
        out += bytes([width, decimals]) + bytes(14)
    out += b'\r'
    for row in ROWS:
        out += b' '
        for (name, kind, width, _), value in zip(FIELDS, row):
            out += str(value).rjust(width).encode('ascii') if kind == 'N' else encode(value, width)
    out += b'\x1a'
    with open('samples/SOLUC.DBF', 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
