# Writes the bytes of IN to OUT as a C initialiser list ("0x23,0x72,...").
file(READ ${IN} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE ${OUT} "${bytes}\n")
