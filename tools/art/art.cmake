# The game's art, rendered from the SVG sources under tools/art/ into Data/.
