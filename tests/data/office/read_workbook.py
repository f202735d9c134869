#!/usr/bin/python3
"""Reads a .xls or .xlsx workbook with xlrd and prints its sheets as JSON: name and every cell."""
import json
import sys

import xlrd

book = xlrd.open_workbook(sys.argv[1])
sheets = []
for sheet in book.sheets():
    rows = []
    for r in range(sheet.nrows):
        rows.append([str(sheet.cell_value(r, c)) for c in range(sheet.ncols)])
    sheets.append({"name": sheet.name, "nrows": sheet.nrows, "ncols": sheet.ncols, "rows": rows})
json.dump({"sheets": sheets}, sys.stdout, ensure_ascii=True)
