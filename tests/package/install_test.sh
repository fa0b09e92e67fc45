#!/bin/bash
# The Debian package as a player gets it: made by CPack from the build folder,
# unpacked into a scratch root that is then made read-only, its desktop entry
# and metadata valid, and the game started by the entry's command as a user
# whose home is empty, under Xvfb: a new game and a save. The save must be in
# that home's data folder, the preferences in its config folder, the scratch
# root untouched. Debian's layout for games (the executable in /usr/games, the
# data in /usr/share/games/umbrane), the debug symbols in their own package and
# the executable's hardening are checked too.
# Usage: install_test.sh BUILD_FOLDER
set -u

build="$1"
source "$(dirname "$0")/../support/desktop.sh"
for tool in cpack dpkg-deb desktop-file-validate appstreamcli hardening-check; do
    command -v "$tool" >/dev/null 2>&1 || { echo "FAIL: $tool is missing (scripts/install-deps.sh installs it)"; exit 1; }
done
desktop_begin "$build/game/umbrane"
chmod 755 "$work"
trap 'chmod -R u+w "$work" 2>/dev/null; desktop_cleanup' EXIT

# 1. The package, its dependencies (the libraries found by dpkg-shlibdeps, the fonts named).
(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
deb="$(ls "$work"/package/umbrane_*.deb 2>/dev/null | head -n 1)"
[ -n "$deb" ] || fail "cpack made no .deb"
ls "$work"/package/umbrane-dbgsym_*.ddeb >/dev/null 2>&1 || fail "cpack made no debug symbols package"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "the package's section is not games"
depends="$(dpkg-deb -f "$deb" Depends)"
for needed in libsdl2-2.0-0 libsdl2-ttf-2.0-0 libexpat1 libpng16-16 libjpeg62-turbo libvorbisfile3 libfontconfig1 \
    fonts-liberation2 fonts-dejavu-core; do
    [[ "$depends" == *"$needed"* ]] || fail "the package does not depend on $needed: $depends"
done

# 2. Unpacked: the files a desktop expects, valid.
root="$work/root"
dpkg-deb -x "$deb" "$root"
for file in usr/games/umbrane usr/share/games/umbrane/config/preferences.xml usr/share/games/umbrane/data/messages.xml \
    usr/share/applications/umbrane.desktop usr/share/metainfo/org.umbrane.Umbrane.metainfo.xml \
    usr/share/man/man6/umbrane.6.gz usr/share/doc/umbrane/copyright; do
    [ -s "$root/$file" ] || fail "the package lacks /$file"
done
[ -e "$root/usr/bin" ] && fail "the package has /usr/bin: $(ls "$root/usr/bin")"
[ -e "$root/usr/share/umbrane" ] && fail "the package has data in /usr/share/umbrane"
file "$root/usr/games/umbrane" | grep -q ', stripped' || fail "the packaged executable keeps its debug information"
# The hardening Debian asks for (the build's own flags, cmake/hardening.cmake; no control flow protection, as Debian 12).
hardening-check --nocfprotection "$root/usr/games/umbrane" >"$work/hardening.log" 2>&1 ||
    { cat "$work/hardening.log"; fail "hardening-check"; }
icons="$(ls "$root"/usr/share/icons/hicolor/*/apps/umbrane.png 2>/dev/null | wc -l)"
[ "$icons" -ge 4 ] || fail "the package has $icons icon sizes, expected several"
desktop-file-validate "$root/usr/share/applications/umbrane.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.umbrane.Umbrane.metainfo.xml" >"$work/as.log" 2>&1 ||
    { cat "$work/as.log"; fail "appstreamcli validate"; }

# 3. Read-only, as an installed game is; a player with an empty home (root
#    plays as nobody, whom the read-only root really stops).
chmod -R a-w "$root"
home="$work/home"
mkdir "$home"
as_player=()
if [ "$(id -u)" -eq 0 ]; then
    chown nobody "$home"
    as_player=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
before="$(cd "$root" && find . -printf '%p %s %T@\n' | sort)"
command="$(sed -n 's/^Exec=//p' "$root/usr/share/applications/umbrane.desktop")"
[ "$command" = umbrane ] || fail "the desktop entry's command is \"$command\""
(cd / && exec "${as_player[@]}" env -i DISPLAY="$DISPLAY" SDL_AUDIODRIVER=dummy HOME="$home" \
    PATH="$root/usr/games:/usr/bin:/bin" $command) >"$work/game.out" 2>"$work/game.err" &
game_pid=$!
window=""
for _ in $(seq 1 300); do
    window="$(xdotool search --name "Umbrane 0.1.0" 2>/dev/null | head -n 1)"
    [ -n "$window" ] && break
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
[ -n "$window" ] || { cat "$work/game.err"; fail "the installed game opened no window"; }
xdotool windowactivate --sync "$window" >/dev/null 2>&1
sleep 1
press() { xdotool key --delay 100 --window "$window" "$1" >/dev/null 2>&1; sleep "${2:-0.5}"; }

# New game (the menu's first entry without a savegame), the three picks, a few steps, Escape saves.
saves="$home/.local/share/umbrane"
preferences="$home/.config/umbrane/preferences.xml"
[ -s "$preferences" ] || fail "the user's preferences were not started from the shipped ones"
cmp -s "$preferences" "$root/usr/share/games/umbrane/config/preferences.xml" ||
    fail "the user's preferences differ from the shipped ones"
[ -e "$saves/config" ] && fail "the preferences were kept in the data folder"
press Return
for _ in 1 2 3; do press Return; done
press Right 1
press Escape 1
await_file "$saves/savegame/character.xml" || { cat "$work/game.err"; fail "no save in $saves/savegame"; }
[ -s "$saves/savegame/map_start.xml" ] || fail "the map was not saved in $saves/savegame"
[ -s "$saves/savegame/screenshot.jpg" ] || fail "the screenshot was not saved in $saves/savegame"
press Escape
wait_game_end 30 || fail "Escape in the menu did not end the installed game"
[ "$game_status" -eq 0 ] || { cat "$work/game.err"; fail "the installed game ended with status $game_status"; }
[ -s "$work/game.err" ] && { cat "$work/game.err"; fail "the installed game wrote to standard error"; }
after="$(cd "$root" && find . -printf '%p %s %T@\n' | sort)"
[ "$before" = "$after" ] || fail "the game wrote into its installed folders"
chmod -R u+w "$root"
echo "package: $(basename "$deb"), $icons icon sizes; the installed game saved in the player's data folder: ok"
exit 0
