#!/usr/bin/env python3
"""Writes every ```cpp sample of a Markdown guide into one C++ source file, so that building it
proves each sample compiles and links against the library.

Each sample goes into its own namespace, with #line pointing back into the guide so that compiler
messages name the guide's lines; its #include lines move to the top of the file. A sample directly
preceded by a line starting with "<!-- guide-sample: not compiled" is left out (for code that needs
parts of the library not built yet). Other languages (cmake, text) are not C++ and are skipped;
a C++ sample fenced with another tag than "cpp" is an error, so that none is skipped by accident.

    extract_guide_samples.py GUIDE.md OUTPUT.cpp
"""
import re
import sys

SKIP_MARK = "<!-- guide-sample: not compiled"
CPP_LOOKALIKES = {"c++", "cxx", "cc", "c", "C++", "h", "hpp"}


def extract(guide_path):
    with open(guide_path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    samples = []  # (first line number, lines)
    skipped = 0
    skip_next = False
    i = 0
    while i < len(lines):
        line = lines[i]
        fence = re.match(r"^```(\S*)\s*$", line)
        if line.strip().startswith(SKIP_MARK):
            skip_next = True
        elif fence and fence.group(1):
            lang = fence.group(1)
            if lang in CPP_LOOKALIKES:
                raise SystemExit(f"{guide_path}:{i + 1}: fence C++ samples with ```cpp, not ```{lang}")
            end = i + 1
            while end < len(lines) and lines[end].strip() != "```":
                end += 1
            if end == len(lines):
                raise SystemExit(f"{guide_path}:{i + 1}: the code block is not closed")
            if lang == "cpp":
                if skip_next:
                    skipped += 1
                else:
                    samples.append((i + 2, lines[i + 1:end]))
            skip_next = False
            i = end
        elif line.strip():
            skip_next = False
        i += 1
    return samples, skipped


def main():
    guide_path, output_path = sys.argv[1], sys.argv[2]
    samples, skipped = extract(guide_path)
    if not samples:
        raise SystemExit(f"{guide_path}: no ```cpp samples found")
    includes = []
    parts = []
    for number, (first_line, body) in enumerate(samples, start=1):
        code = []
        for offset, text in enumerate(body):
            if text.lstrip().startswith("#include"):
                includes.append(f'#line {first_line + offset} "{guide_path}"\n{text}\n')
                code.append("")  # keeps the following lines' numbers right
            else:
                code.append(text)
        parts.append(f"namespace guide_sample_{number} {{\n#line {first_line} \"{guide_path}\"\n"
                     + "\n".join(code) + "\n}\n")
    source = ("// Generated from the guide: each ```cpp sample in its own namespace.\n"
              '#include "listview/TOrvListView.h"\n'
              + "".join(includes) + "\n" + "\n".join(parts)
              + f"\n// {len(samples)} samples compiled, {skipped} marked as not compiled.\n"
              "int main() { return 0; }\n")
    with open(output_path, "w", encoding="utf-8") as f:
        f.write(source)


if __name__ == "__main__":
    main()
