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
velmora_svg_pieces(Menu/UILoading bar.svg tga bar_empty bar_full)
velmora_svg_pieces(Menu/Common choice.svg tga choice_normal choice_active choice_press)
velmora_svg_pieces(Menu/Common field.svg tga field_left field field_right)
velmora_svg_pieces(Menu/Common switch.svg tga
  switch_off_normal switch_off_active switch_on_normal switch_on_active)

velmora_svg_folder(cursor)

# Backgrounds, 1024 x 768.
velmora_svg_folder(Menu/UISharedBackground)
velmora_svg_folder(Menu/UILogo DITHER game.png.svg)
velmora_svg_folder(Menu/UIMap)
velmora_svg_folder(Menu/UIAfterGame)
foreach(episode e1 e2 e3 e4)
  velmora_svg_folder(Episodes/${episode})
endforeach()

# The hotel's furniture, which every episode's objects.ini shares. Each hover outline <piece>_o
# rings its piece's drawing, which it loads, so it is redrawn whenever the piece is.
velmora_svg_folder(Episodes/e1/objects)
file(GLOB furniture_outlines CONFIGURE_DEPENDS ${art_sources}/Episodes/e1/objects/*_o.tga.svg)
foreach(outline IN LISTS furniture_outlines)
  get_filename_component(name ${outline} NAME)
  string(REGEX REPLACE "_o\\.tga\\.svg$" "" piece ${name})
  add_custom_command(OUTPUT ${data}/Episodes/e1/objects/${piece}_o.tga APPEND
    DEPENDS ${art_sources}/Episodes/e1/objects/${piece}.tga.svg)
endforeach()

# Characters: a script writes each picture's frames as SVG (from the figure parts they share), the
# renderer stacks them. The script also names its pictures, so the build asks it for the list
# (again whenever it or the shared parts change).
find_package(Python3 REQUIRED COMPONENTS Interpreter)
function(velmora_art_script folder script)
  set(script_file ${art_sources}/${folder}/${script})
  file(GLOB shared CONFIGURE_DEPENDS ${art_sources}/*.py)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${script_file} ${shared})
  execute_process(COMMAND ${Python3_EXECUTABLE} ${script_file} --list
    OUTPUT_VARIABLE pictures OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(sources ${CMAKE_CURRENT_BINARY_DIR}/art/${folder})
  list(TRANSFORM pictures PREPEND ${sources}/ OUTPUT_VARIABLE svgs)
  list(TRANSFORM svgs APPEND .svg)
  add_custom_command(
    OUTPUT ${svgs}
    COMMAND Python3::Interpreter ${script_file} ${sources}
    DEPENDS ${script_file} ${shared}
    COMMENT "Drawing the frames of ${folder}" VERBATIM)
  foreach(picture IN LISTS pictures)
    velmora_svg_render(${folder}/${picture}.tga SOURCES ${sources}/${picture}.svg)
  endforeach()
endfunction()

velmora_art_script(Heroes/Jenny jenny.py)
velmora_svg_folder(Heroes/Jenny)

# Hotel objects with a behaviour of their own: the musician, the cash desk, gifts and sweets,
# flowers.
velmora_svg_folder(Objects/Musician)
velmora_svg_folder(Objects/Cash)
velmora_svg_folder(Objects/Gift)
velmora_svg_folder(Objects/Flower)
velmora_art_script(Heroes/Maid maid.py)
velmora_art_script(Heroes/Porter porter.py)

# Guests: the pictures every client kind has (client.py) in each kind's look; the cowboy kid comes
# with a guest and has a few of its own.
foreach(kind Businessman Traveller Grandpa CowboyKid)
  string(TOLOWER ${kind} script)
  velmora_art_script(Clients/${kind} ${script}.py)
endforeach()

# Monsters: each kind drawn by its script; the hit splash and health bar they share.
velmora_svg_folder(Monsters)
velmora_art_script(Monsters/Robber robber.py)
velmora_art_script(Monsters/Ghost ghost.py)

# The help pages' illustrations and the tutorial's hint window.
velmora_svg_folder(Menu/UIHelp)
velmora_svg_folder(Tutorial)
# The shop, the school and the home between levels.
velmora_svg_folder(Menu/UIShop)
velmora_svg_pieces(Menu/UIShop cells.svg tga cell empty_cell)
velmora_svg_pieces(Menu/UIShop price.svg tga price_coin price_star)
velmora_svg_pieces(Menu/UIShop marks.svg tga small_arrow star sold must_have arrow_light
  arrow_left arrow_left_off arrow_right arrow_right_off)
velmora_svg_pieces(Menu/UIShop/icons icons.svg tga plant plant_off plants plants_off coffee
  coffee_off tv tv_off piano piano_off books books_off room room_off room_lux room_lux_off gift
  gift_off sweets sweets_off flower flower_off cash cash_off)
velmora_svg_folder(Menu/UISchool)
velmora_art_script(Menu/UISchool panels.py)
foreach(skill shoes sandals boots charm cooking manager broom vacuum steam gloves trolley lift cards)
  velmora_svg_pieces(Menu/UISchool/icons icons.svg tga ${skill} ${skill}_off)
endforeach()
velmora_svg_folder(Menu/UIHome DITHER house.png.svg)
velmora_svg_pieces(Menu/UIHome cells.svg tga cell cell_off icon_locked)
# The level's command panels: the plate, the round request buttons with their glow ring and the
# Maid's and the Porter's hero buttons.
velmora_svg_folder(Interface)
velmora_svg_pieces(Interface round.svg tga round_normal round_active round_press)
velmora_svg_pieces(Interface menu_button.svg tga menu_normal menu_active menu_press)
velmora_svg_pieces(Interface popularity.svg tga popularity_empty popularity_full)
velmora_svg_pieces(Interface heroes.svg tga maid_normal maid_active maid_press porter_normal
  porter_active porter_press)
# The request bubble: its face, the wait clock's sixteen frames round it, the hover outline and the
# portrait frame of a guest asking from its room.
velmora_svg_folder(Request)
velmora_svg_render(Request/clock.tga SOURCES ${art_sources}/Request/clock.svg OPTIONS --frames 16)
# The request pictograms, one source for the guests' bubbles (40 px) and the panels' buttons (32 px).
foreach(kind calmbaby cards casino checkin checkout chess clean clothes cocktail dog fire food
    luggage music news phone photo pillow plaid repair souvenir upgrade water)
  set(icons ${art_sources}/Request/icons/icons.svg)
  velmora_svg_render(Request/icons/${kind}.tga SOURCES ${icons} OPTIONS --id ${kind})
  velmora_svg_render(Interface/icons/${kind}.tga SOURCES ${icons} OPTIONS --id ${kind} --size 32x32)
endforeach()
foreach(grade 1 2 3)
  velmora_svg_render(Request/icons/checkin${grade}.tga SOURCES ${icons} OPTIONS --id checkin${grade})
endforeach()
# The mini-games' timer: the clock face and the eight frames of its hand.
velmora_svg_folder(MiniGame/Timer)
velmora_svg_render(MiniGame/Timer/timer.tga SOURCES ${art_sources}/MiniGame/Timer/timer.svg
  OPTIONS --frames 8)
# What the heroes carry: drinks, dishes, newspapers, the telephone, suitcases and the Maid's cart.
velmora_svg_folder(HandObj)
# The comics: panels, props and bubbles drawn by hand, the characters by their script.
velmora_svg_folder(Comics DITHER street.png.svg garden.png.svg night.png.svg glow.tga.svg)
velmora_art_script(Comics comics.py)
