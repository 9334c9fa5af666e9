file(SIZE "${FILE}" size)
get_filename_component(name "${FILE}" NAME)
message(STATUS "${name}: ${size} bytes")
