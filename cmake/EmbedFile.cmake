# Writes the bytes of IN as the C++ array the Linux entry point hands to the
# resource loader.
file(READ ${IN} hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE ${OUT} "// Generated from ${IN}.\n#include <cstddef>\n"
     "extern const unsigned char qelResourceData[] = {\n${bytes}\n};\n"
     "extern const size_t qelResourceSize = ${size};\n")
