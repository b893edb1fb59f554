# Run by CPack between installing into its staging folder and making the package: adds
# what Debian wants of every package besides the installed files, namely manual pages
# compressed with gzip -9n, the licence as the copyright file and the changelog.
set(root ${CPACK_TEMPORARY_DIRECTORY})
set(doc ${root}/usr/share/doc/brellow)

# Compresses `file` in place as Debian does: best compression, no name or time stamp,
# so the package's bytes do not depend on when it was made.
function(gzip_in_place file)
    execute_process(COMMAND gzip -9nf ${file} COMMAND_ERROR_IS_FATAL ANY)
endfunction()

file(GLOB manuals ${root}/usr/share/man/man1/*.1)
if(NOT manuals)
    message(FATAL_ERROR "no manual pages under ${root}/usr/share/man/man1")
endif()
foreach(manual IN LISTS manuals)
    gzip_in_place(${manual})
endforeach()

# The copyright file in Debian's machine-readable form, with the licence's own holder
# and terms.
file(READ ${CPACK_BRELLOW_LICENSE} licence)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" holder "${licence}")
set(holder ${CMAKE_MATCH_1})
string(FIND "${licence}" "Permission is hereby granted" terms)
string(SUBSTRING "${licence}" ${terms} -1 licence)
string(STRIP "${licence}" licence)
string(REGEX REPLACE "\n\n" "\n .\n" licence "${licence}")
string(REGEX REPLACE "\n([^ \n])" "\n \\1" licence "${licence}")
file(WRITE ${doc}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Brellow
Source: ${CPACK_DEBIAN_PACKAGE_HOMEPAGE}

Files: *
Copyright: ${holder}
License: MIT
 ${licence}\n")
file(COPY_FILE ${CPACK_BRELLOW_CHANGELOG} ${doc}/changelog)
gzip_in_place(${doc}/changelog)
