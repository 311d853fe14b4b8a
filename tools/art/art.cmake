# The game's art: which SVG sources under tools/art/ render to which files under Data/.
# Sources named <picture>.<tga|png|jpg>.svg need no line here beyond their folder's.

# Widgets shared by every screen.
velmora_svg_folder(Menu/Common)
foreach(state ignore normal active press)
  velmora_svg_pieces(Menu/Common button.svg tga button_left_${state} button_${state} button_right_${state})
endforeach()
velmora_svg_pieces(Menu/Common frame.svg tga
  frame_left_top frame_top frame_right_top frame_right frame_right_bottom frame_bottom
  frame_left_bottom frame_left frame_center)
velmora_svg_pieces(Menu/Common progress.svg tga progress_empty progress_full)
velmora_svg_pieces(Menu/Common switch.svg tga
  switch_off_normal switch_off_active switch_on_normal switch_on_active)

velmora_svg_folder(cursor)

# Backgrounds, 1024 x 768.
velmora_svg_folder(Menu/UISharedBackground)
velmora_svg_folder(Episodes/e1)
