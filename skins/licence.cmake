# Writes the licence of the icon set that the skins' condition pictures are made from.
file(READ ${LICENCE} text)
file(WRITE ${OUT} "The condition pictures of the skins (skins/bin/*_big_*.bmp, *_small_*.bmp,
s_splash_*.bmp) are rendered from Meteocons by Bas Milius, the npm package
@bybas/weather-icons 2.0.0 (https://github.com/basmilius/weather-icons), under this licence:

${text}")
