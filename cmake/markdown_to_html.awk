# Turns the Markdown of docs/*.md (the subset those pages use: headings,
# paragraphs, fenced code, pipe tables, lists, `code`, **strong**, *em*,
# links) into an HTML page of the manual.
# awk -v title=TITLE -f markdown_to_html.awk PAGE.md > PAGE.html
function esc(s) {
  gsub(/&/, "\\&amp;", s)
  gsub(/</, "\\&lt;", s)
  gsub(/>/, "\\&gt;", s)
  return s
}
function span(s,   t, cut, label, href) {
  s = esc(s)
  while (match(s, /\*\*[^*]+\*\*/))
    s = substr(s, 1, RSTART - 1) "<strong>" substr(s, RSTART + 2, RLENGTH - 4) "</strong>" \
        substr(s, RSTART + RLENGTH)
  while (match(s, /\*[^* ][^*]*\*/))
    s = substr(s, 1, RSTART - 1) "<em>" substr(s, RSTART + 1, RLENGTH - 2) "</em>" \
        substr(s, RSTART + RLENGTH)
  while (match(s, /\[[^\[]*\]\([^)]*\)/)) {
    t = substr(s, RSTART, RLENGTH)
    cut = index(t, "](")
    label = substr(t, 2, cut - 2)
    href = substr(t, cut + 2, length(t) - cut - 2)
    sub(/\.md$/, ".html", href)
    sub(/\.md#/, ".html#", href)
    s = substr(s, 1, RSTART - 1) "<a href=\"" href "\">" label "</a>" substr(s, RSTART + RLENGTH)
  }
  return s
}
function inline(s,   out, start, size) {
  out = ""
  while (match(s, /`[^`]+`/)) {
    start = RSTART
    size = RLENGTH
    out = out span(substr(s, 1, start - 1)) "<code>" esc(substr(s, start + 1, size - 2)) "</code>"
    s = substr(s, start + size)
  }
  return out span(s)
}
function slug(s,   t) {
  t = tolower(s)
  gsub(/[^a-z0-9 -]/, "", t)
  gsub(/ /, "-", t)
  return t
}
function close_paragraph() {
  if (para != "") print "<p>" inline(para) "</p>"
  para = ""
}
function close_item() {
  if (item != "") print "<li>" inline(item) "</li>"
  item = ""
}
function close_list() {
  close_item()
  if (list != "") print "</" list ">"
  list = ""
}
function close_table() {
  if (in_table) print "</table>"
  in_table = 0
  table_row = 0
}
function close_all() {
  close_paragraph()
  close_list()
  close_table()
}
function table_line(line,   n, cells, i, tag, out) {
  sub(/^\|/, "", line)
  sub(/\|[ \t]*$/, "", line)
  table_row++
  if (table_row == 2 && line ~ /^[-:| ]+$/) return
  n = split(line, cells, "|")
  tag = table_row == 1 ? "th" : "td"
  out = "<tr>"
  for (i = 1; i <= n; i++) {
    gsub(/^[ \t]+|[ \t]+$/, "", cells[i])
    out = out "<" tag ">" inline(cells[i]) "</" tag ">"
  }
  print out "</tr>"
}
BEGIN {
  print "<!DOCTYPE html>"
  print "<html lang=\"en\"><head><meta charset=\"utf-8\">"
  print "<title>" esc(title) "</title>"
  print "<link rel=\"stylesheet\" href=\"manual.css\"></head><body>"
  print "<p class=\"back\"><a href=\"index.html\">The manual</a></p>"
}
{
  sub(/\r$/, "")
}
in_code {
  if ($0 ~ /^```/) {
    print "</pre>"
    in_code = 0
  } else {
    print esc($0)
  }
  next
}
/^```/ {
  close_all()
  printf "<pre>"
  in_code = 1
  next
}
/^#+ / {
  close_all()
  level = index($0, " ") - 1
  text = substr($0, level + 2)
  print "<h" level " id=\"" slug(text) "\">" inline(text) "</h" level ">"
  next
}
/^\|/ {
  close_paragraph()
  close_list()
  if (!in_table) print "<table>"
  in_table = 1
  table_line($0)
  next
}
/^[ \t]*$/ {
  close_all()
  next
}
/^- / || /^[0-9]+\. / {
  close_paragraph()
  close_table()
  kind = ($0 ~ /^- /) ? "ul" : "ol"
  if (list != kind) {
    close_list()
    print "<" kind ">"
    list = kind
  }
  close_item()
  item = $0
  sub(/^(- |[0-9]+\. )/, "", item)
  next
}
list != "" && /^[ \t]/ {
  line = $0
  sub(/^[ \t]+/, "", line)
  item = item " " line
  next
}
{
  close_list()
  close_table()
  para = para == "" ? $0 : para " " $0
}
END {
  if (in_code) print "</pre>"
  close_all()
  print "</body></html>"
}
