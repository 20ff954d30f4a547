# Writes the bytes of MEMBER, a file inside the archive IN, to OUT as a C
# initialiser list ("0x23,0x72,...").
get_filename_component(out_dir ${OUT} DIRECTORY)
set(unpacked ${out_dir}/embed_unpacked)
file(REMOVE_RECURSE ${unpacked})
file(ARCHIVE_EXTRACT INPUT ${IN} DESTINATION ${unpacked})
file(READ ${unpacked}/${MEMBER} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
file(WRITE ${OUT} "${bytes}\n")
file(REMOVE_RECURSE ${unpacked})
