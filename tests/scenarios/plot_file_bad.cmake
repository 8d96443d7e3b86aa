# Prepares the working folder of plot_file_bad.script: the bad plot files too
# large to keep in the source tree are made here, beside the small ones.
set(dir ${WORKDIR}/plotfiles)
set(head "{\"format\":\"vesmar-plot\",\"version\":1,\"family\":\"linear\",")
# Over 20 MB: refused by its size, before it is read.
string(REPEAT " " 22020096 blanks)
file(WRITE ${dir}/over-20mb.vesmar "${head}\"controls\":{}}${blanks}")
# A box text of megabytes.
string(REPEAT "8" 3000000 digits)
file(WRITE ${dir}/megabyte-text.vesmar "${head}\"controls\":{\"Text1(0)\":{\"text\":\"${digits}\"}}}")
# A million drawing operations.
string(REPEAT "{}," 1000000 ops)
file(WRITE ${dir}/million-ops.vesmar "${head}\"controls\":{},\"canvas\":{\"own\":{\"ops\":[${ops}{}]}}}")
# Arrays nested a hundred thousand deep.
string(REPEAT "[" 100000 open)
string(REPEAT "]" 100000 close)
file(WRITE ${dir}/deep-nesting.vesmar "${head}\"controls\":{},\"numbers\":${open}${close}}")
# A name that is a folder, and one that is not there.
file(MAKE_DIRECTORY ${dir}/folder.vesmar)
