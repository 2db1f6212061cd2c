"""Keeps the docs honest about the code (run by scripts/check-docs.sh).

1. A name in backticks that looks like code is looked for where the doc says
   it lives: beside a path in brackets, in that file or folder; in a row of a
   folder's file table, in that row's files; as Class::Member, in the files
   of that class; otherwise in the doc's own folder (docs at the root and in
   docs/ look through the whole tree). A path must be a file or folder.
2. A folder's file table (a table whose first heading is "file", or
   "file in `room/`") lists every source file of its folder once, and only
   files that are there.
3. Every place in the product (link/, ui/, plugin/) that starts a thread, by
   whatever call, names its body in ARCHITECTURE's threads table.
Prints each miss and exits 1 when there is one.
"""
import os
import re
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
os.chdir(ROOT)
SOURCE_EXT = (".h", ".cpp", ".c", ".rc")
SEARCH_EXT = SOURCE_EXT + (".cmake", ".txt", ".sh", ".json", ".py")

TRACKED = subprocess.run(["git", "ls-files", "--cached", "--others", "--exclude-standard"],
                         capture_output=True, text=True, check=True).stdout.split()
TRACKED = sorted({f for f in TRACKED if os.path.exists(f)})
DOCS = ["docs/ARCHITECTURE.md"] + sorted(
    f for f in TRACKED if os.path.basename(f) == "README.md" and "/corpus/" not in f)
misses = []


def miss(text):
    misses.append(text)


_text_cache = {}


def text_of(path):
    if path not in _text_cache:
        try:
            with open(path, encoding="utf-8", errors="replace") as f:
                _text_cache[path] = f.read()
        except OSError:
            _text_cache[path] = ""
    return _text_cache[path]


def files_under(path):
    """Searchable files at a path: the file itself, or every one below a folder."""
    path = path.rstrip("/")
    if path in ("", "."):
        return [f for f in TRACKED if f.endswith(SEARCH_EXT)]
    return [f for f in TRACKED
            if (f == path or f.startswith(path + "/")) and f.endswith(SEARCH_EXT)]


def has_word(name, files):
    pattern = re.compile(r"(?<![A-Za-z0-9_])" + re.escape(name) + r"A?(?![A-Za-z0-9_])")
    return any(pattern.search(text_of(f)) for f in files)


def expand(span, folder):
    """The files a first-cell entry names: a.h/.cpp, a.*, a glob or a plain name."""
    m = re.fullmatch(r"(.*)\.([a-z]+)/\.([a-z]+)", span)
    names = [f"{m.group(1)}.{m.group(2)}", f"{m.group(1)}.{m.group(3)}"] if m else [span]
    found = []
    for name in names:
        path = os.path.normpath(os.path.join(folder, name))
        regex = "^" + re.escape(path).replace(r"\*", "[^/]*") + "$"
        hits = [f for f in TRACKED if re.match(regex, f)]
        found.append((name, hits))
    return found


def resolve_path(span, folder):
    m = re.fullmatch(r"(.*)\.([a-z]+)/\.([a-z]+)", span)
    if m:
        return (resolve_path(f"{m.group(1)}.{m.group(2)}", folder) and
                resolve_path(f"{m.group(1)}.{m.group(3)}", folder))
    for base in ("", folder):
        path = os.path.normpath(os.path.join(base, span)).rstrip("/")
        regex = "^" + re.escape(path).replace(r"\*", "[^/]*") + "(/|$)"
        if any(re.match(regex, f) for f in TRACKED):
            return [f for f in TRACKED if re.match(regex, f)]
    # A file named by its own name or include path, wherever it lives.
    hits = [f for f in TRACKED if f.endswith("/" + span) or f == span]
    if hits:
        return hits
    # A program: a target of its folder's CMakeLists.txt.
    lists = os.path.join(os.path.dirname(span), "CMakeLists.txt")
    if os.path.dirname(span) and os.path.exists(lists) and \
            re.search(r"\b" + re.escape(os.path.basename(span)) + r"\b", text_of(lists)):
        return [lists]
    return []


def is_path(span):
    return "/" in span or re.search(r"\.(h|cpp|rc|sh|py|cmake|md|txt|png|bmp|ico|json)$", span)


def code_name(span):
    """The name a span gives as code, or None for prose, placeholders, output."""
    if re.search(r"://|<|\s|^build/|/build/|^-", span):
        return None
    name = span.split("(")[0]
    if "…" in name or not re.fullmatch(r"[A-Za-z_][A-Za-z0-9_:]*", name):
        return None
    if ("::" in name or re.fullmatch(r"[A-Z][a-z0-9]+[A-Z][A-Za-z0-9]*", name) or
            re.match(r"C[A-Z][a-z]|I[A-Z][a-z]|m_[a-z]|k[A-Z][a-z]", name) or
            re.fullmatch(r"[A-Z][A-Z0-9]*_[A-Z0-9_]+", name)):
        return name
    return None


def class_files(cls):
    decl = re.compile(r"\b(class|struct)\s+(\w+\s+)?" + re.escape(cls) + r"\b\s*(final\s*)?[:{]")
    defn = re.compile(re.escape(cls) + r"::")
    return [f for f in TRACKED if f.endswith(SOURCE_EXT) and
            (decl.search(text_of(f)) or defn.search(text_of(f)))]


def doc_scope(doc):
    folder = os.path.dirname(doc)
    return "" if folder in ("", "docs") else folder


def check_name(span, doc, scope_files, where):
    span = span.strip('"')
    folder = os.path.dirname(doc)
    if is_path(span) and not re.search(r"\s|<|://", span):
        if not span.startswith(("build/", "-")) and "/build/" not in span and \
                not resolve_path(span, folder):
            miss(f"{doc} names `{span}`, which is no file or folder")
        return
    name = code_name(span)
    if name is None:
        return
    parts = name.split("::")
    if len(parts) > 1:
        files = class_files(parts[0])
        if not files:
            miss(f"{doc} names `{span}`, but no source declares `{parts[0]}`")
            return
        for part in parts[1:]:
            if not has_word(part, files):
                miss(f"{doc} names `{span}`, but `{parts[0]}`'s files have no `{part}`")
        return
    if not has_word(name, scope_files):
        miss(f"{doc} names `{span}`, which is not in {where}")


SPAN = re.compile(r"`([^`]+)`")
# A name followed by a path in brackets: "`Name` (`ui/x/y.cpp`)".
BESIDE = re.compile(r"`([^`]+)`\s*\(`([^`]*(?:/|\.(?:h|cpp|rc))[^`]*)`")


def first_cell(row):
    cells = row.strip().strip("|").split("|")
    return cells[0] if cells else ""


def check_doc(doc):
    folder = os.path.dirname(doc)
    scope = doc_scope(doc)
    table_folder = None
    listed = {}
    for line in text_of(doc).splitlines():
        if not line.startswith("|"):
            table_folder = None
        heading = re.match(r"\|\s*file(?: in `([^`]+)`)?\s*\|", line)
        if heading:
            table_folder = os.path.normpath(os.path.join(folder, heading.group(1) or ""))
            listed.setdefault(table_folder, [])
            continue
        row_files = None
        if table_folder and line.startswith("|") and not re.match(r"\|\s*-", line):
            row_files = []
            for span in SPAN.findall(first_cell(line)):
                for name, hits in expand(span, table_folder):
                    listed[table_folder] += [os.path.basename(f) for f in hits]
                    if not hits:
                        miss(f"{doc} lists `{name}` in `{table_folder}/`, where it is not")
                    row_files += hits
        beside = {m.group(1): m.group(2) for m in BESIDE.finditer(line)}
        for span in SPAN.findall(line):
            if span in beside and not is_path(span) and code_name(span):
                files = [f for p in [beside[span]] for f in (resolve_path(p, folder) or [])]
                files = [g for f in files for g in files_under(f)]
                check_name(span, doc, files, f"`{beside[span]}`")
            elif row_files:
                check_name(span, doc, row_files + files_under(table_folder) if span in
                           first_cell(line) else row_files, "the row's files")
            else:
                check_name(span, doc, files_under(scope), f"`{scope or '.'}/`")
    for table_folder, names in listed.items():
        present = sorted(f for f in TRACKED if os.path.dirname(f) == table_folder and
                         f.endswith(SOURCE_EXT))
        for f in present:
            base = os.path.basename(f)
            if base not in names:
                miss(f"{doc}: `{f}` is missing from its folder's file table")
        for name in set(names):
            if names.count(name) > 1:
                miss(f"{doc} lists `{name}` more than once")


def check_threads():
    table = re.search(r"^## Threads\n(.*?)(?=^## )", text_of("docs/ARCHITECTURE.md"),
                      re.S | re.M)
    table = "\n".join(l for l in (table.group(1) if table else "").splitlines()
                      if l.startswith("|"))
    start = re.compile(r"std::(j?thread|async)\b(?!::)|\b_beginthread(ex)?\s*\(|"
                       r"\bCreate(Remote)?Thread\s*\(|\bAfxBeginThread\s*\(")
    for f in TRACKED:
        if not (f.startswith(("link/", "ui/", "plugin/")) and f.endswith(SOURCE_EXT)):
            continue
        for number, line in enumerate(text_of(f).splitlines(), 1):
            code = line.split("//")[0]
            m = start.search(code)
            if not m or re.match(r"\s*#\s*include", code):
                continue
            rest = code[m.end():]
            call = m.group(0).strip()
            if call.startswith("std::") and re.match(r"\s*[&*]?\s*\w*\s*[;,)=]", rest):
                continue  # a declaration or a parameter, not a start
            if call.startswith("std::"):
                # std::thread name(Body, ...), std::thread{Body}, std::async(policy, Body)
                body = re.match(r"\s*\w*\s*[({]\s*(?:std::launch::\w+\s*,\s*)?&?([\w:]+)", rest)
            elif call.startswith(("CreateThread", "CreateRemoteThread", "_beginthreadex")):
                skip = 3 if "Remote" in call else 2
                body = re.match(r"(?:[^,]*,){%d}\s*&?([\w:]+)" % skip, rest)
            else:
                body = re.match(r"\s*&?([\w:]+)", rest)
            name = body.group(1).split("::")[-1] if body else ""
            if not name or name in ("this", "nullptr", "NULL", "async", "deferred"):
                miss(f"{f}:{number} starts a thread whose body this check cannot read")
            elif not re.search(r"\b" + re.escape(name) + r"\b", table):
                miss(f"{f}:{number} starts a thread (`{name}`) that ARCHITECTURE's "
                     "threads table does not list")


for d in DOCS:
    check_doc(d)
check_threads()
for m in misses:
    print("check-docs: " + m, file=sys.stderr)
if misses:
    print(f"check-docs: {len(misses)} miss(es) between the docs and the tree", file=sys.stderr)
    sys.exit(1)
print(f"check-docs: every code name in {len(DOCS)} docs is where they say, every file in its "
      "table, every thread in the table")
