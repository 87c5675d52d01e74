# Writes STAGE/SHA256SUMS: a line per file of the kit, "<sha256>  <path>",
# paths relative to the kit's top and sorted, as sha256sum -c reads them.
file(GLOB_RECURSE files RELATIVE ${STAGE} ${STAGE}/*)
list(REMOVE_ITEM files SHA256SUMS)
list(SORT files)
set(sums "")
foreach(file IN LISTS files)
    file(SHA256 ${STAGE}/${file} sum)
    string(APPEND sums "${sum}  ${file}\n")
endforeach()
file(WRITE ${STAGE}/SHA256SUMS "${sums}")
