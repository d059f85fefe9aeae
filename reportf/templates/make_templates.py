#!/usr/bin/env python3
"""Writes the default report templates (RTF, ASCII only, Cyrillic as \\uN?).

The templates are ordinary RTF files that any word processor edits; this script only keeps
their layout reproducible. Run it from this folder after changing a layout:
    python3 make_templates.py .
Fonts are Times New Roman and Arial: printed through CUPS-PDF they keep searchable text.
Text is Russian (\\lang1049) and hyphenated (\\hyphauto1, \\hyphpar in every table cell), so that
words in narrow columns break at syllables.
"""
import sys
MM = 56.6929
def tw(mm): return int(round(mm*MM))

def esc(s):
    out=[]
    for ch in s:
        o=ord(ch)
        if ch in '\\{}': out.append('\\'+ch)
        elif o<128: out.append(ch)
        else: out.append('\\u%d?' % (o if o<32768 else o-65536))
    return ''.join(out)

def doc(title, pw, ph, ml, mr, mt, mb, body, landscape=False, headery=None):
    land = '\\landscape' if landscape else ''
    return ('{\\rtf1\\ansi\\ansicpg1251\\deff0\\uc1\\deflang1049\\hyphauto1\n'
            '{\\fonttbl{\\f0\\froman\\fcharset204 Times New Roman;}{\\f1\\fswiss\\fcharset204 Arial;}}\n'
            '{\\colortbl;\\red0\\green0\\blue0;\\red96\\green96\\blue96;}\n'
            '{\\info{\\title %s}{\\author \\u1047?\\u1077?\\u1083?\\u1100?\\u1084?}}\n'
            '\\paperw%d\\paperh%d\\margl%d\\margr%d\\margt%d\\margb%d%s\\widowctrl\\ftnbj\\fet0\n'
            '\\sectd%s%s\\pgwsxn%d\\pghsxn%d\\marglsxn%d\\margrsxn%d\\margtsxn%d\\margbsxn%d\n'
            % (esc(title), tw(pw), tw(ph), tw(ml), tw(mr), tw(mt), tw(mb), land,
               '\\lndscpsxn' if landscape else '', '\\headery%d' % tw(headery) if headery else '', tw(pw), tw(ph), tw(ml), tw(mr), tw(mt), tw(mb))
            + body + '}\n')

def para(text, fs=24, bold=False, align='ql', f=0, sb=0, sa=0, italic=False):
    fmt = '\\f%d\\fs%d\\lang1049' % (f, fs) + ('\\b' if bold else '') + ('\\i' if italic else '')
    return '\\pard\\plain\\%s\\sb%d\\sa%d{%s %s}\\par\n' % (align, tw(sb), tw(sa), fmt, esc(text))

BORDER = '\\brdrs\\brdrw10'
def cell_borders(top=True, left=True, bottom=True, right=True, w=10):
    b = ''
    br = '\\brdrs\\brdrw%d' % w
    if top: b += '\\clbrdrt' + br
    if left: b += '\\clbrdrl' + br
    if bottom: b += '\\clbrdrb' + br
    if right: b += '\\clbrdrr' + br
    return b

def row(cells, widths, left=0, header=False, height=None, borders=None, fs=20, f=0, bold=None,
        align=None, italic=None, valign='\\clvertalc', sizes=None, keep=False, keepn=False):
    """cells: list of text; widths in mm; borders: list of border strings per cell."""
    s = '\\trowd\\trgaph%d\\trleft%d' % (tw(1), tw(left))
    if header: s += '\\trhdr'
    if keep: s += '\\trkeep'
    if height is not None: s += '\\trrh%d' % height
    x = tw(left)
    for i, wdt in enumerate(widths):
        x += tw(wdt)
        s += (borders[i] if borders else cell_borders()) + valign + '\\cellx%d' % x
    s += '\n'
    for i, text in enumerate(cells):
        b = bold[i] if bold else False
        it = italic[i] if italic else False
        al = align[i] if align else 'ql'
        fmt = '\\f%d\\fs%d\\lang1049' % (f, sizes[i] if sizes else fs) + ('\\b' if b else '') + ('\\i' if it else '')
        s += '\\pard\\plain\\intbl\\hyphpar%s\\%s{%s %s}\\cell\n' % (
            '\\keepn' if keepn else '', al, fmt, esc(text))
    s += '\\row\n'
    return s

def poln():
    b = para('КАРТОЧКА ОПЕРАТИВНО-РОЗЫСКНОГО МЕРОПРИЯТИЯ', fs=28, bold=True, align='qc', sa=2)
    b += para('#wladelec#', fs=24, align='qc', sa=6)
    items = [
        ('Порядковый номер', '#GurN#'), ('Уникальный номер', '#Klu4Form1#'),
        ('Дата мероприятия', '#DataMer#'), ('Организация', '#NameOrg#'),
        ('Форма собственности', '#FormSobs#'), ('ИНН организации', '#INNOrg#'),
        ('Адрес организации', '#adres#'), ('Повод', '#Povod#'), ('Вид ОРМ', '#VidORM#'),
        ('Основание', '#Osnovan#'), ('Дата документа-основания', '#DataOsn#'),
        ('Номер документа-основания', '#NomDokOsn#'), ('КУСП: дата', '#DateKUSP#'),
        ('КУСП: номер', '#NomKUSP#'), ('Провёл', '#ispolnitel#'), ('Утвердил', '#utverdil#'),
        ('Результат', '#Rezultat#'), ('Примечание', '#Prime4#'), ('Отметка', '#Otmetka#'),
    ]
    for label, value in items:
        b += row([label, value], [60, 116], fs=22, bold=[True, False], valign='\\clvertalt')
    b += para('', fs=12)
    b += para('Карточку создал(а): #AdminFIO#.  Создана #DaWrSozd#, изменена #DWKorr#.', fs=18,
              italic=True, sb=4)
    return doc('Карточка мероприятия', 210, 297, 20, 14, 15, 15, b)

def kniga():
    # Widths balanced on realistic cards: the memos, the longest texts, get the most room; dates
    # and the ten digits of the taxpayer number just fit on one line.
    cols = [('№', '#n#', 6), ('Организация', '#NameOrg#', 23), ('Форма собств.', '#FormSobs#', 13),
            ('Адрес', '#adres#', 17), ('Дата ОРМ', '#DM#', 11), ('ИНН', '#INNOrg#', 16),
            ('Результат', '#Rezultat#', 26), ('Примечание', '#Prime4#', 18),
            ('Основание', '#Osnovan#', 15), ('Дата осн.', '#DataOsn#', 11),
            ('№ док. осн.', '#NomDokOsn#', 10), ('Повод', '#Povod#', 16),
            ('Вид ОРМ', '#VidORM#', 17), ('Провёл', '#ispolnitel#', 22),
            ('Утвердил', '#utverdil#', 16), ('КУСП дата', '#DKUSP#', 11),
            ('КУСП №', '#NKUSP#', 9), ('КУСП фабула', '#FabKUSP#', 20)]
    widths = [c[2] for c in cols]
    assert abs(sum(widths) - 277) < 0.01, sum(widths)
    # The title and the column titles are the page header, so that every page has them.
    h = para('КНИГА УЧЁТА ОПЕРАТИВНО-РОЗЫСКНЫХ МЕРОПРИЯТИЙ', fs=26, bold=True, align='qc')
    h += para('#wladelec#', fs=22, align='qc', sa=3)
    h += row([c[0] for c in cols], widths, fs=13, f=1, bold=[True]*18, align=['qc']*18)
    h += '\\pard\\plain\\sl-20\\slmult0{\\fs2 }\\par\n'
    b = '{\\header ' + h + '}\n'
    b += row([c[1] for c in cols], widths, fs=13, f=1, valign='\\clvertalt', keep=True)
    b += '\\pard\\plain\\par\n'
    return doc('Список мероприятий', 297, 210, 10, 10, 10, 10, b, landscape=True, headery=8)

def stat():
    # The data file brings three kinds of line, told apart by an empty marker item: the column
    # titles (Zagolovok), a value's counts (Stroka) and the totals (Itog). A period of more than
    # twelve columns goes on in further blocks, each with its titles and its own «Всего»; the
    # last also has the whole period's total (Period). Long lists come in pieces of a few rows,
    # each under its titles and kept on one page (\\keepn down to the piece's last line), so
    # that every page starts with titles. Columns no line fills are left out by the merge.
    n = 12
    widths = [55] + [15] * n + [21, 21]
    assert abs(sum(widths) - 277) < 0.01, sum(widths)
    b = para('СТАТИСТИКА ОПЕРАТИВНО-РОЗЫСКНЫХ МЕРОПРИЯТИЙ', fs=26, bold=True, align='qc')
    b += para('#wladelec#', fs=22, align='qc', sa=2)
    b += para('Строки: #Stroki#.  Столбцы: #Stolbcy#.  Период: с #S# по #Po#.', fs=22, sa=1)
    b += para('#Istochnik#: прочитано карточек #Prochitano#, учтено за период #Uchteno#. '
              'Составлено #Data#.', fs=18, italic=True, sa=1)
    ks = ['#k%d#' % (k + 1) for k in range(n)]
    # The merge gives each line the row of its kind: a value's row, the totals' row, and the
    # titles' row, which the empty line before it makes the start of a table of its own.
    b += row(['#Nazv##Stroka#'] + ks + ['#Vsego#', '#Period#'], widths, fs=20, f=0,
             bold=[False] * (n + 1) + [True, True], align=['ql'] + ['qr'] * (n + 2), keep=True,
             keepn=True)
    b += row(['#Nazv##Itog#'] + ks + ['#Vsego#', '#Period#'], widths, fs=20, f=0,
             bold=[True] * (n + 3), align=['ql'] + ['qr'] * (n + 2), keep=True)
    b += '\\pard\\plain\\sb0\\sa0{\\fs12 }\\par\n'
    b += row(['#Nazv##Zagolovok#'] + ks + ['#Vsego#', '#Period#'], widths, fs=18, f=0,
             bold=[True] * (n + 3), align=['ql'] + ['qc'] * (n + 2), header=True, keep=True,
             keepn=True)
    b += '\\pard\\plain\\par\n'
    return doc('Статистика мероприятий', 297, 210, 10, 10, 12, 12, b, landscape=True)

def line_rows(lines, left, label_w, value_w, fs, h):
    s = ''
    for label, value in lines:
        s += row([label, value], [label_w, value_w], left=left, height=h, fs=fs,
                 italic=[True, False], borders=['', cell_borders(False, False, True, False)],
                 valign='\\clvertalb')
    return s

def index_box(label, value, left, label_w, box_w, fs, h):
    return row([label, value], [label_w, box_w], left=left, height=h, fs=fs,
               bold=[False, True], italic=[True, False], align=['qr', 'qc'],
               borders=['', cell_borders(w=30)], sizes=[fs - 10, fs])

def envelope(name, pw, ph, margin, fs, line_h, sender_w, rec_left, rec_w, spacer_mm):
    lf = fs - 4
    b = ''
    b += line_rows([('От кого', '#Wladelec#'), ('Откуда', '#UlDom#'), ('', '#Gorod#'),
                    ('', '#OblKr#')], 0, 17, sender_w - 17, fs, line_h)
    b += index_box('Индекс места отправления', '#PoIn#', 0, sender_w - 34, 34, fs + 6, line_h + 140)
    b += '\\pard\\plain\\sl-%d\\slmult0{\\fs4 }\\par\n' % tw(spacer_mm)
    b += line_rows([('Кому', '#kWladelec#'), ('', '#kDolgn#'), ('', '#kPredpr#'),
                    ('Куда', '#kUlDom#'), ('', '#kGorod#'), ('', '#kRaion#'),
                    ('', '#kOblKr#')], rec_left, 15, rec_w - 15, fs, line_h)
    b += index_box('Индекс места назначения', '#kPoIn#', rec_left, rec_w - 34, 34, fs + 6,
                   line_h + 140)
    return doc(name, pw, ph, margin, margin, margin, margin, b, landscape=True)

out = sys.argv[1]
files = {
    'PolnPic.rtf': poln(),
    'KnigaPic.rtf': kniga(),
    'StatPic.rtf': stat(),
    # 162 x 227 mm, the sender in the upper left quarter, the recipient in the lower right.
    'KonA8Pic.rtf': envelope('Конверт 162x227', 227, 162, 10, 22, 340, 100, 97, 110, 44),
    'KonA9Pic.rtf': envelope('Конверт 108x218', 218, 108, 7, 18, 270, 88, 96, 108, 12),
}
for n, t in files.items():
    open(out + '/' + n, 'w', newline='\r\n').write(t)
