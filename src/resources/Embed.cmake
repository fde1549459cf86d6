# Writes a C++ source that holds the bytes of INPUT as the array SYMBOL and its size
# as SYMBOL##Size, in namespace quillory::resources. Run with cmake -P.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
set(text "// Generated from ${INPUT}; do not edit.\n")
string(APPEND text "#include <cstddef>\n#include <cstdint>\n\n")
string(APPEND text "namespace quillory::resources {\n\n")
string(APPEND text "extern const std::uint8_t ${SYMBOL}[] = {\n    ${bytes}\n};\n")
string(APPEND text "extern const std::size_t ${SYMBOL}Size = ${size};\n\n")
string(APPEND text "} // namespace quillory::resources\n")
# Only a changed text touches the file, so an unchanged resource rebuilds nothing.
file(CONFIGURE OUTPUT "${OUTPUT}" CONTENT "${text}" @ONLY)
