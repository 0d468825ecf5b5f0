# Writes a C++ source holding files as byte arrays, run at build time:
#   cmake -DOUTPUT=<file.cpp> -DSYMBOL=<name> -DINPUTS=<a.png;b.png;...> -P embed_files.cmake
# The source defines, in namespace morvane, `<SYMBOL>_data[i]` and `<SYMBOL>_size[i]` for every
# input in the order given, and `<SYMBOL>_count`.
cmake_minimum_required(VERSION 3.25)

set(arrays "")
set(pointers "")
set(sizes "")
set(index 0)
foreach(input IN LISTS INPUTS)
  file(READ ${input} hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  # Break the byte list into lines of 16 values.
  string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
  get_filename_component(name ${input} NAME)
  string(APPEND arrays "// ${name}\nconst unsigned char file_${index}[] = {\n    ${bytes}\n};\n")
  string(APPEND pointers "    file_${index},\n")
  string(APPEND sizes "    ${size},\n")
  math(EXPR index "${index} + 1")
endforeach()

set(text "// Generated at build time from the files it names; do not edit.\n#include <cstddef>\n\n")
string(APPEND text "namespace morvane {\nnamespace {\n${arrays}}  // namespace\n\n")
string(APPEND text "extern const unsigned char* const ${SYMBOL}_data[] = {\n${pointers}};\n")
string(APPEND text "extern const std::size_t ${SYMBOL}_size[] = {\n${sizes}};\n")
string(APPEND text "extern const int ${SYMBOL}_count = ${index};\n\n}  // namespace morvane\n")

# Rewrite only on change so that dependants are not rebuilt for nothing.
if(EXISTS ${OUTPUT})
  file(READ ${OUTPUT} old)
  if(old STREQUAL text)
    return()
  endif()
endif()
file(WRITE ${OUTPUT} "${text}")
