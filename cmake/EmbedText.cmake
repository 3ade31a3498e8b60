# Writes OUT, a C++ source that holds the bytes of the file IN as the array
# script::NAME and its length NAME_size, so that a table of data made by a tool
# is compiled into the program, which reads no files.
#   cmake -DIN=table.txt -DOUT=table.cpp -DNAME=kTable -P EmbedText.cmake
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# A line break every 32 bytes keeps the source readable by editors and tools.
string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUT}" "// Made from ${IN} by EmbedText.cmake; do not edit.\n"
                    "#include <cstddef>\n"
                    "namespace script {\n"
                    "extern const unsigned char ${NAME}[];\n"
                    "extern const std::size_t ${NAME}_size;\n"
                    "const unsigned char ${NAME}[] = {\n${bytes}0};\n"
                    "const std::size_t ${NAME}_size = ${size};\n"
                    "} // namespace script\n")
