#!/usr/bin/env bash
# Keeps the docs honest about the code:
# 1. every name in backticks in docs/ARCHITECTURE.md, the README and a
#    folder's README that looks like code (a file path, a class or function
#    name, a member, a constant) must be found in the tree: a path as a file
#    or folder (from the repository's root or the README's folder), a name as
#    a whole word in a source file;
# 2. every place in the product (link/, ui/, plugin/) that starts a thread
#    must name its body in ARCHITECTURE's threads table.
# Prints each miss and fails when there is one. Run by scripts/test.sh.
set -uo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C

docs=(docs/ARCHITECTURE.md $(git ls-files 'README.md' '*/README.md' | grep -v '/corpus/'))
sources=(git grep -q -w -F --untracked -e)
source_files=('*.h' '*.cpp' '*.c' '*.rc' '*.cmake' '*CMakeLists.txt' '*.sh' '*.json')
misses=0

miss() {
  echo "check-docs: $1" >&2
  misses=$((misses + 1))
}

tracked=$(git ls-files)

path_exists() {  # path, the README's folder
  local path=$1 dir=$2
  # "name.h/.cpp" names both files.
  if [[ $path =~ ^(.*)\.([a-z]+)/\.([a-z]+)$ ]]; then
    local stem=${BASH_REMATCH[1]} first=${BASH_REMATCH[2]} second=${BASH_REMATCH[3]}
    path_exists "$stem.$first" "$dir" && path_exists "$stem.$second" "$dir"
    return
  fi
  # From the root or the README's folder; a glob (ui/*.rc) must match.
  compgen -G "$path" >/dev/null && return
  compgen -G "$dir/$path" >/dev/null && return
  # A file named by its include path or its own name, wherever it lives.
  grep -q -E "(^|/)${path//./\\.}(/|$)" <<<"$tracked" && return
  # A program: a target of its folder's CMakeLists.txt.
  [ -f "$(dirname "$path")/CMakeLists.txt" ] &&
    grep -q -w -F "$(basename "$path")" "$(dirname "$path")/CMakeLists.txt"
}

name_exists() {  # the platform's text functions are called by their A form
  "${sources[@]}" "$1" -e "${1}A" -- "${source_files[@]}"
}

check_name() {  # span, doc
  local span=$1 doc=$2 dir
  dir=$(dirname "$doc")
  span=${span#\"}
  span=${span%\"}
  case $span in
    *://* | *'<'* | *' '* | build/* | */build/* | -*) return ;;  # addresses, placeholders, prose, output
  esac
  if [[ $span == */* || $span =~ \.(h|cpp|rc|sh|cmake|md|txt|png|bmp|ico|json)$ ]]; then
    path_exists "$span" "$dir" || miss "$doc names \`$span\`, which is no file or folder"
    return
  fi
  # Code-like names: Class::Member, CamelCase with a lower-case letter after
  # a capital inside, m_member, kConstant, Function(...).
  local name=${span%%(*}
  [[ $name == *…* ]] && return  # a family of names
  [[ $name =~ ^[A-Za-z_][A-Za-z0-9_:]*$ ]] || return
  if [[ $name == *::* || $name =~ ^[A-Z][a-z0-9]+[A-Z][A-Za-z0-9]*$ ||
    $name =~ ^C[A-Z][a-z] || $name =~ ^I[A-Z][a-z] || $name =~ ^m_[a-z] || $name =~ ^k[A-Z][a-z] ||
    $name =~ ^[A-Z][A-Z0-9]*_[A-Z0-9_]+$ ]]; then
    local part
    for part in ${name//::/ }; do
      name_exists "$part" || miss "$doc names \`$span\`, but no source has \`$part\`"
    done
  fi
}

for doc in "${docs[@]}"; do
  while IFS= read -r span; do
    check_name "${span//\`/}" "$doc"
  done < <(grep -o '`[^`]*`' "$doc" | sort -u)
done

# The body of every thread the product starts: std::thread(Body, ...) and
# CreateThread(security, stack, Body, ...).
threads_table=$(sed -n '/^## Threads/,/^## /p' docs/ARCHITECTURE.md | grep '^|')
while IFS= read -r place; do
  file=${place%%:*}
  body=$(sed -E -n \
    -e 's/.*std::thread\(&?([A-Za-z_:]+).*/\1/p' \
    -e 's/.*CreateThread\([^,]*,[^,]*, *&?([A-Za-z_:]+).*/\1/p' <<<"$place")
  body=${body##*::}
  if [ -z "$body" ]; then
    miss "$file starts a thread whose body this check cannot read: $place"
  elif ! grep -q -w -F "$body" <<<"$threads_table"; then
    miss "$file starts a thread (\`$body\`) that ARCHITECTURE's threads table does not list"
  fi
done < <(git grep -n -E 'std::thread\(|CreateThread\(|_beginthreadex\(|AfxBeginThread\(' -- link ui plugin |
  grep -v -E '^[^:]+:[0-9]+:\s*//')

if [ "$misses" -gt 0 ]; then
  echo "check-docs: $misses name(s) in the docs do not match the tree" >&2
  exit 1
fi
echo "check-docs: every code name in ${#docs[@]} docs is in the tree, every thread in the table"
