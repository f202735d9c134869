#!/usr/bin/env python3
"""Writes the CSV files the reader is tested against, the way the programs named here write them.

The Python files come from the standard csv module, which is what pandas, csvkit and most Linux
tools use: LF-only lines when asked for them (lineterminator="\n"), the Excel dialect (CR LF lines,
line breaks inside quoted cells kept as LF) otherwise. The LibreOffice files are exported by
LibreOffice Calc from the flat spreadsheet sheet.fods (run with --libreoffice, needs soffice).
"""
import csv
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))

CARS = [
    ["Make", "Model", "Notes", "Price"],
    ["Audi", "A4 Avant", "Estate, 5 doors", "38900"],
    ["BMW", "M3 \"CSL\"", "Limited run\nof 1,383 cars", "78500"],
    ["Citroën", "2CV", "", "4200"],
    ["Škoda", "Octavia", "Café racer 12\" wheels", "21990"],
]


def records(count):
    """A survey-like data set: an id, a place, a free-text answer (some with line breaks)."""
    places = ["Amsterdam", "Zürich", "São Paulo", "Reykjavík", "Łódź"]
    for i in range(count):
        answer = "Answer %d" % i
        if i % 7 == 3:
            answer += "\nsecond line, with a comma"
        if i % 11 == 5:
            answer = "He said \"yes\""
        yield [str(i + 1), places[i % len(places)], answer, "%d.%02d" % (i * 3, i % 100)]


def write_python_files():
    # LF-only, as pandas and csvkit write by default on Linux.
    with open(os.path.join(HERE, "survey_lf_python.csv"), "w", newline="", encoding="utf-8") as f:
        w = csv.writer(f, lineterminator="\n")
        w.writerow(["id", "place", "answer", "amount"])
        w.writerows(records(250))
    # Excel dialect: CR LF records, quoted cells with LF line breaks.
    with open(os.path.join(HERE, "cars_excel_python.csv"), "w", newline="", encoding="utf-8") as f:
        csv.writer(f, dialect="excel").writerows(CARS)
    # Excel's "CSV UTF-8": a byte-order mark, then the Excel dialect.
    with open(os.path.join(HERE, "cars_bom_python.csv"), "w", newline="", encoding="utf-8-sig") as f:
        csv.writer(f, dialect="excel").writerows(CARS)
    # A legacy Windows export: Windows-1252 bytes, semicolons, CR LF.
    with open(os.path.join(HERE, "cars_cp1252_python.csv"), "w", newline="", encoding="cp1252") as f:
        w = csv.writer(f, dialect="excel", delimiter=";")
        w.writerows(CARS + [["Renault", "Mégane", "€ 19.990,–", ""]])
    # Very wide: 16,000 columns, LF-only.
    with open(os.path.join(HERE, "wide_16000_python.csv"), "w", newline="", encoding="utf-8") as f:
        w = csv.writer(f, lineterminator="\n")
        w.writerow(["c%d" % c for c in range(16000)])
        w.writerow([str(c * 7) for c in range(16000)])


def write_libreoffice_files():
    src = os.path.join(HERE, "sheet.fods")
    with tempfile.TemporaryDirectory() as out:
        # Filter options: field separator, text delimiter, character set, first line.
        for name, options in [
            ("sheet_semicolon_libreoffice.csv", "59,34,76,1"),
            ("sheet_cp1252_libreoffice.csv", "44,34,1,1"),
        ]:
            subprocess.run(
                ["soffice", "--headless", "--convert-to", "csv:Text - txt - csv (StarCalc):" + options,
                 "--outdir", out, src],
                check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            os.replace(os.path.join(out, "sheet.csv"), os.path.join(HERE, name))


if __name__ == "__main__":
    write_python_files()
    if "--libreoffice" in sys.argv:
        write_libreoffice_files()
