# Writes the bytes of IN as the C++ array the Linux entry point hands to the
# resource loader (OUT), and the header that declares it (HEADER): OUT
# includes HEADER, so the two cannot disagree, and every user includes it.
file(READ ${IN} hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
get_filename_component(header_name ${HEADER} NAME)
file(WRITE ${HEADER} "// Generated from ${IN}: the compiled resources, linked in.\n"
     "#ifndef QEL_GENERATED_RESOURCE_DATA_H\n#define QEL_GENERATED_RESOURCE_DATA_H\n"
     "#include <cstddef>\n"
     "extern const unsigned char qelResourceData[];\n"
     "extern const size_t qelResourceSize;\n#endif\n")
file(WRITE ${OUT} "// Generated from ${IN}.\n#include \"${header_name}\"\n"
     "extern const unsigned char qelResourceData[] = {\n${bytes}\n};\n"
     "extern const size_t qelResourceSize = ${size};\n")
