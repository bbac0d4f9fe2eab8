#!/usr/bin/env bash
# Makes resources/SG.jpg, the default picture of the lock window: a calm dark-blue 1920 x 1080
# gradient saying that the screen is covered while its owner is away (it is a privacy cover, not a lock). Needs ImageMagick and the WenQuanYi Micro Hei
# font (Debian: imagemagick, fonts-wqy-microhei). The picture is committed; run this only to
# change it.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
font=${VANTREL_CJK_FONT:-/usr/share/fonts/truetype/wqy/wqy-microhei.ttc}
out=${1:-$here/SG.jpg}

convert -size 1920x1080 gradient:'#1c3550'-'#0a1420' \
  -font "$font" -fill '#dfe7ef' -gravity center \
  -pointsize 96 -annotate +0-60 '屏幕已遮盖' \
  -fill '#8fa3b8' -pointsize 40 -annotate +0+70 '手机回到身边后自动解除' \
  -fill '#5d7086' -pointsize 28 -annotate +0+420 'Vantrel' \
  -strip -interlace none -sampling-factor 4:2:0 -quality 82 "$out"
