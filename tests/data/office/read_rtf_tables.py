#!/usr/bin/python3
"""Converts an RTF document with unrtf --html and prints its tables as JSON: rows of cells, each
with its text and alignment ("left", "right", "center").

unrtf opens a row lazily, at its first plain character: cells before that come ahead of the
row's <tr>, and Unicode characters that open a cell come just before that cell's <td>. So a <td>
outside an open row starts the row, and stray text is given to the next cell."""
import html.parser
import json
import subprocess
import sys


class Tables(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tables = []
        self.cell = None
        self.pending = ""
        self.in_body = False
        self.row_open = False

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        if tag == "body":
            self.in_body = True
        elif tag == "table":
            self.tables.append([])
            self.row_open = False
        elif tag == "tr" and self.tables:
            if not self.row_open:
                self.tables[-1].append([])
            self.row_open = True
        elif tag == "td" and self.tables:
            if not self.row_open:
                self.tables[-1].append([])
                self.row_open = True
            self.cell = {"text": self.pending, "align": "left"}
            self.pending = ""
            self.tables[-1][-1].append(self.cell)
        elif tag == "br" and self.cell is not None:
            self.cell["text"] += "\n"
        elif tag == "div" and self.cell is not None and attrs.get("align"):
            self.cell["align"] = attrs["align"]
        elif tag == "center" and self.cell is not None:
            self.cell["align"] = "center"

    def handle_endtag(self, tag):
        if tag == "td":
            self.cell = None
        elif tag == "tr":
            self.row_open = False

    def handle_data(self, data):
        if self.cell is not None:
            self.cell["text"] += data.replace("\n", "")
        elif self.in_body and self.tables and data.strip():
            self.pending += data.replace("\n", "")


out = subprocess.run(["unrtf", "--html", sys.argv[1]], capture_output=True, check=True).stdout
parser = Tables()
parser.feed(out.decode("utf-8", "replace"))
json.dump({"tables": parser.tables}, sys.stdout, ensure_ascii=True)
