# The background canvas: its pixel arithmetic, palette block and face-name
# field build into zv_core (no Windows header; tested natively).
target_sources(zv_core PRIVATE darken.cpp canvas_palette.cpp font_face.cpp)
