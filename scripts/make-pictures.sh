#!/usr/bin/env bash
# Makes the pictures of the README and the documents: a screenshot of the real window under Xvfb
# and pictures of the example scenes drawn by kavelo-render.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
bash scripts/install-deps.sh --test
for p in imagemagick x11-apps; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
        { apt-get install -y -q --no-install-recommends imagemagick x11-apps; break; }
done
bash scripts/build.sh build

./build/tools/kavelo-render examples/teapot.txt -o docs/teapot.png --size 640x480
./build/tools/kavelo-render examples/weights.txt -o docs/weights.png --size 640x480
./build/tools/kavelo-render examples/input.txt -o docs/example.png --size 640x480

work="$(mktemp -d)"
cp examples/input.txt "$work/input.txt"
cat >"$work/shoot.sh" <<EOS
set -euo pipefail
cd "$work"
"$root/build/shell/kavelo" &
pid=\$!
wid=\$(xdotool search --sync --onlyvisible --name '^Scene from input.txt - Kavelo\$' | head -n 1)
xdotool windowsize --sync "\$wid" 900 600
xdotool windowfocus --sync "\$wid"
sleep 0.5
xdotool key --window "\$wid" ctrl+Right ctrl+Right Right
sleep 1
import -window "\$wid" "$root/docs/screenshot.png"
kill "\$pid"
EOS
xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/shoot.sh"
rm -rf "$work"
echo "wrote docs/screenshot.png docs/teapot.png docs/weights.png docs/example.png"
