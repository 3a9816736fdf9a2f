#!/usr/bin/env bash
# The Windows program end to end under wine, driven by scripts through its
# real dialogs: called by scripts/test-windows with the demo site running
# (LINNET_TEST_BOOKMARKS) and DISPLAY set. Fails on the first difference.
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
linux="$LINNET_LINUX_BUILD"
exe="$LINNET_WINDOWS_EXE"
work="$LINNET_WORK/e2e"
mkdir -p "$work"
prefix="$LINNET_WINEPREFIX"
fail() { echo "end to end: $*" >&2; exit 1; }
# A Linux path as the Windows program reaches it (wine's drive Z:).
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
events() { grep -o '"event":"[a-z]*"\(,"name":"[A-Z_0-9]*"\)\?' "$1" | tr '\n' ' '; }
run_windows() {  # script transcript [start folder [program]]
  (cd "${3:-$work}" && LINNET_SCRIPT="$(winpath "$1")" LINNET_TRANSCRIPT="$(winpath "$2")" \
     LINNET_ASSUME_ONLINE=1 timeout 300 bash "$root/scripts/wine-run" "${4:-$exe}") || return $?
}

echo "== a bookmark file against the demo site, Windows and Linux alike"
site="$LINNET_TEST_BOOKMARKS"
for os in windows linux; do
  if [ "$os" = windows ]; then src="$(winpath "$site")"; out="$(winpath "$work/$os-saved.html")";
  else src="$site"; out="$work/$os-saved.html"; fi
  cat > "$work/$os-file.script" <<END
dialog DIALOG_1: click 203, click 1
open $src
dialog DIALOG_2: click 1
msgbox ok
dialog DIALOG_3: wait
dialog DIALOG_4: select 1 2, click 1
dialog DIALOG_5: click 203, click 1
save $out
msgbox ok
END
done
mkdir -p "$work/home"
(cd "$work" && HOME="$work/home" LINNET_SCRIPT="$work/linux-file.script" LINNET_TRANSCRIPT="$work/linux-file.jsonl" \
   LINNET_ASSUME_ONLINE=1 timeout 300 "$linux/linnet") || fail "the Linux run failed"
run_windows "$work/windows-file.script" "$work/windows-file.jsonl" || fail "the Windows run failed ($?)"
cmp "$work/linux-saved.html" "$work/windows-saved.html" || fail "the saved files differ"
[ "$(events "$work/linux-file.jsonl")" = "$(events "$work/windows-file.jsonl")" ] ||
  fail "the transcripts differ: $(events "$work/linux-file.jsonl") / $(events "$work/windows-file.jsonl")"
grep -q '"event":"exit","code":0' "$work/windows-file.jsonl" || fail "no clean exit"

echo "== the Internet Explorer favorites of the wine prefix, found through the registry"
user="$(ls "$prefix/drive_c/users" | grep -v -i public | head -1)"
favorites="$prefix/drive_c/users/$user/Favorites"
rm -rf "$favorites" && mkdir -p "$favorites/Site"
url() { grep -o "HREF=\"[^\"]*\"[^>]*>$1<" "$site" | sed 's/HREF="\([^"]*\)".*/\1/'; }
printf '[InternetShortcut]\r\nURL=%s\r\n' "$(url "Today's news")" > "$favorites/Site/Today.url"
printf '[InternetShortcut]\r\nURL=%s\r\n' "$(url 'An old story (gone: 404)')" > "$favorites/Site/Old story.url"
printf '[InternetShortcut]\r\nURL=%s\r\n' "$(url 'Broken tool (server error: 500)')" > "$favorites/Broken.url"
printf '[InternetShortcut]\r\nURL=%s\r\n' "$(url 'Closed site (connection refused)')" > "$favorites/Closed.url"
mkdir -p "$work/ie-start"
cat > "$work/ie.script" <<END
dialog DIALOG_1: click 201, click 1
dialog DIALOG_2: click 1
msgbox ok
dialog DIALOG_3: wait
dialog DIALOG_4: click 1
dialog DIALOG_5: click 201, click 1
msgbox ok
msgbox ok
END
run_windows "$work/ie.script" "$work/ie.jsonl" "$work/ie-start" || fail "the favorites run failed ($?)"
[ -f "$work/ie-start/iebackup.htm" ] || fail "no favorites backup"
[ -f "$favorites/Deleted Bookmarks/Broken.URL" ] && [ -f "$favorites/Deleted Bookmarks/Closed.URL" ] ||
  fail "the deleted links are not in Deleted Bookmarks: $(find "$favorites")"
grep -q "^URL=http://127.0.0.1:[0-9]*"$'\r'"\?$" "$favorites/Site/Old story.URL" || fail "the 404 link was not fixed"
grep -q 'Today.url\|/news/today.html' "$favorites/Site/Today.URL" || fail "the live link was lost"

echo "== the Firefox profile of the wine prefix, found through its profiles.ini; optional lines"
# As Firefox lays it out on Windows: profiles.ini one folder above the
# profiles, naming the profile it starts with; an unused "default" profile
# is listed first.
firefox="$prefix/drive_c/users/$user/AppData/Roaming/Mozilla/Firefox"
rm -rf "$firefox" && mkdir -p "$firefox/Profiles/aaaa.default" "$firefox/Profiles/zzzz.default-release"
printf '[Install308046B0AF4A39CB]\r\nDefault=Profiles/zzzz.default-release\r\nLocked=1\r\n\r\n[Profile0]\r\nName=default\r\nIsRelative=1\r\nPath=Profiles/aaaa.default\r\nDefault=1\r\n\r\n[Profile1]\r\nName=default-release\r\nIsRelative=1\r\nPath=Profiles/zzzz.default-release\r\n' \
  > "$firefox/profiles.ini"
cp "$site" "$firefox/Profiles/zzzz.default-release/bookmarks.html"
cat > "$work/firefox.script" <<END
dialog DIALOG_1: click 202, click 1
dialog DIALOG_2: click 1
msgbox ok
dialog DIALOG_3: wait
# passed over: the review dialog comes, not the box of a week without problems
optional msgbox ok
optional dialog DIALOG_4: click 1
dialog DIALOG_5: click 1
msgbox ok
END
run_windows "$work/firefox.script" "$work/firefox.jsonl" || fail "the Firefox run failed ($?)"
backup='C:\\\\users\\\\'"$user"'\\\\AppData\\\\Roaming\\\\Mozilla\\\\Firefox\\\\Profiles\\\\zzzz.default-release\\\\bookmarks.html.old'
grep -q "saved to $backup\"" "$work/firefox.jsonl" || fail "no backup note naming the profile's own folder: $(grep -o 'saved to [^"]*' "$work/firefox.jsonl")"
cmp -s "$firefox/Profiles/zzzz.default-release/bookmarks.html.old" "$site" || fail "the backup is not the profile's file"
! cmp -s "$firefox/Profiles/zzzz.default-release/bookmarks.html" "$site" || fail "the profile's file was not saved"
rm -rf "$firefox"

echo "== a save that fails ends the program with exit code 2"
cat > "$work/failed-save.script" <<END
dialog DIALOG_1: click 203, click 1
open $(winpath "$site")
dialog DIALOG_2: click 1
msgbox ok
dialog DIALOG_3: wait
dialog DIALOG_4: click 1
dialog DIALOG_5: click 203, click 1
save Z:\\proc\\linnet-saved.html
msgbox ok
END
code=0
run_windows "$work/failed-save.script" "$work/failed-save.jsonl" || code=$?
[ "$code" = 2 ] || fail "a failed save ended with exit code $code, not 2"
grep -q '"event":"msgbox".*"icon":"error"' "$work/failed-save.jsonl" || fail "no error box for the failed save"
grep -q '"event":"exit","code":2' "$work/failed-save.jsonl" || fail "the transcript does not record exit code 2"

echo "== the update button against a loopback update server"
mkdir -p "$work/update" "$work/server/tools"
cp "$exe" "$work/update/linnet.exe"
{ cat "$exe"; printf 'a newer copy'; } > "$work/server/tools/linnet.exe"
digest=$(sha1sum "$work/server/tools/linnet.exe" | cut -d' ' -f1 | tr a-f A-F)
printf '[Hash]\r\n1=%s\r\n' "$digest" > "$work/server/hash.php"
python3 -u -m http.server 0 --bind 127.0.0.1 --directory "$work/server" > "$work/server.log" 2>&1 &
server=$!
trap 'kill $server 2>/dev/null || true' RETURN EXIT
for _ in $(seq 100); do grep -q 'port [0-9]*' "$work/server.log" && break; sleep 0.05; done
port=$(grep -o 'port [0-9]*' "$work/server.log" | head -1 | cut -d' ' -f2)
cat > "$work/update.script" <<END
dialog DIALOG_1: click 9
msgbox yes
END
# The copy replaces itself, as the program does on Windows.
LINNET_UPDATE_HOST="127.0.0.1:$port" \
  run_windows "$work/update.script" "$work/update.jsonl" "$work/update" "$work/update/linnet.exe" ||
  fail "the update run failed ($?)"
cmp -s "$work/update/linnet.exe" "$work/server/tools/linnet.exe" || fail "the program was not replaced"
cmp -s "$work/update/linnet.exe.old" "$exe" || fail "the old copy was not kept as linnet.exe.old"
grep -q '"event":"notifyicon","action":"add"' "$work/update.jsonl" || fail "no notification-area icon"
kill $server 2>/dev/null || true
echo "end to end: all passed"
