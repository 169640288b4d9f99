# Turns resources/schema/schema.sql into a C++ source holding it as one string.
# Called as: cmake -DIN=<schema.sql> -DOUT=<file.cpp> -P embed_schema.cmake
file(READ "${IN}" content)
string(FIND "${content}" ")QXSCHEMA\"" clash)
if(NOT clash EQUAL -1)
  message(FATAL_ERROR "schema.sql holds the string delimiter )QXSCHEMA\"")
endif()
file(WRITE "${OUT}.tmp"
  "// Generated from resources/schema/schema.sql at build time; edit that file instead.\n"
  "extern const char kSchemaSql[];\n"
  "const char kSchemaSql[] = R\"QXSCHEMA(${content})QXSCHEMA\";\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
