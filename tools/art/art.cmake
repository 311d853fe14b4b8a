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

# Characters: a script writes each picture's frames as SVG, the renderer stacks them. The script
# also names its pictures, so the build asks it for the list (again whenever it changes).
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(jenny_script ${art_sources}/Heroes/Jenny/jenny.py)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${jenny_script})
execute_process(COMMAND ${Python3_EXECUTABLE} ${jenny_script} --list
  OUTPUT_VARIABLE jenny_pictures OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
set(jenny_sources ${CMAKE_CURRENT_BINARY_DIR}/art/Heroes/Jenny)
list(TRANSFORM jenny_pictures PREPEND ${jenny_sources}/ OUTPUT_VARIABLE jenny_svgs)
list(TRANSFORM jenny_svgs APPEND .svg)
add_custom_command(
  OUTPUT ${jenny_svgs}
  COMMAND Python3::Interpreter ${jenny_script} ${jenny_sources}
  DEPENDS ${jenny_script}
  COMMENT "Drawing Jenny's frames" VERBATIM)
foreach(picture IN LISTS jenny_pictures)
  velmora_svg_render(Heroes/Jenny/${picture}.tga SOURCES ${jenny_sources}/${picture}.svg)
endforeach()
velmora_svg_folder(Heroes/Jenny)

# The shop, the school and the home between levels.
velmora_svg_folder(Menu/UIShop)
velmora_svg_pieces(Menu/UIShop cells.svg tga cell empty_cell)
velmora_svg_pieces(Menu/UIShop marks.svg tga small_arrow star sold must_have arrow_light
  arrow_left arrow_left_off arrow_right arrow_right_off)
velmora_svg_pieces(Menu/UIShop/icons icons.svg tga plant plant_off plants plants_off coffee
  coffee_off tv tv_off piano piano_off books books_off room room_off room_lux room_lux_off)
velmora_svg_folder(Menu/UISchool)
velmora_svg_pieces(Menu/UISchool/icons icons.svg tga shoes shoes_off broom broom_off case case_off)
velmora_svg_folder(Menu/UIHome)
velmora_svg_pieces(Menu/UIHome cells.svg tga cell cell_off icon_locked)
