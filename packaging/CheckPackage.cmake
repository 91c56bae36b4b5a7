# Makes the .deb with CPack and checks what a user installs from it: the programs, their shared
# files and desktop integration under /usr, control fields dpkg needs, and a packaged
# dialvane-cli that runs from an unpacked copy. Run by CTest with -DBINARY_DIR=... -DWORK=...
cmake_policy(SET CMP0057 NEW)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

function(run)
    execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status
                    OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${ARGN} failed (${status}):\n${out}${err}")
    endif()
    set(out "${out}" PARENT_SCOPE)
endfunction()

run(cpack --config ${BINARY_DIR}/CPackConfig.cmake -G DEB -B ${WORK})
file(GLOB debs ${WORK}/dialvane_*.deb)
list(LENGTH debs count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one dialvane_*.deb, found: ${debs}")
endif()

set(problems "")
run(dpkg-deb -c ${debs})
set(listing "${out}")
foreach(path usr/bin/dialvane-cli usr/bin/dialvane-mfp-emulator usr/lib/dialvane/libzeviz.so.1
        usr/share/dialvane/dialvane.ini usr/share/dialvane/dialvane.JPN
        usr/share/dialvane/help/index.html usr/share/applications/io.github.orvex.Dialvane.desktop
        usr/share/metainfo/io.github.orvex.Dialvane.metainfo.xml
        usr/share/bash-completion/completions/dialvane-cli usr/share/man/man1/dialvane-cli.1.gz
        usr/share/doc/dialvane/copyright usr/share/doc/dialvane/changelog.gz)
    if(NOT listing MATCHES " \\./${path}\n")
        string(APPEND problems "missing /${path}\n")
    endif()
endforeach()
if(listing MATCHES " \\./usr/share/man/[^\n]*\\.1\n")
    string(APPEND problems "a man page is not compressed:\n${listing}\n")
endif()
if(listing MATCHES " \\./(etc|home|opt|usr/local)/")
    string(APPEND problems "files outside /usr:\n${listing}\n")
endif()

run(dpkg-deb -f ${debs} Package Version Section Maintainer Depends)
foreach(field "Package: dialvane" "Version: ${VERSION}" "Section: utils" "Maintainer: [^\n]+@"
        "Depends: [^\n]*libc6")
    if(NOT out MATCHES "${field}")
        string(APPEND problems "control field ${field} missing in:\n${out}\n")
    endif()
endforeach()
if(out MATCHES "Maintainer: [^\n]*(\\.invalid|example\\.)")
    string(APPEND problems "the maintainer is a placeholder:\n${out}\n")
endif()

# The packaged program, unpacked elsewhere, finds its packaged settings and reports its version.
run(dpkg-deb -x ${debs} ${WORK}/root)
run(${WORK}/root/usr/bin/dialvane-cli --version)
if(NOT out MATCHES "dialvane-cli .* ${VERSION}")
    string(APPEND problems "dialvane-cli --version printed: ${out}\n")
endif()

# The desktop program answers --help and --version on a machine without a display.
if(EXISTS ${WORK}/root/usr/bin/dialvane)
    foreach(option --help --version)
        execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
                                QT_QPA_PLATFORM=xcb ${WORK}/root/usr/bin/dialvane ${option}
                        RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
        if(NOT status EQUAL 0 OR NOT out MATCHES "dialvane")
            string(APPEND problems "dialvane ${option} without a display (${status}):\n${out}${err}\n")
        endif()
    endforeach()
endif()

# Debian's own checks: no error, and only the warnings listed here, each for its reason.
set(accepted_warnings
    # CPack calls ldconfig after installing and removing any library below /usr/lib. Ours is the
    # program's private channel library in /usr/lib/dialvane, loaded by its full path, so the
    # call is needless but harmless.
    maintscript-calls-ldconfig
    # The changelog is the project's CHANGELOG.md (Keep a Changelog): CPack builds the package
    # from the CMake tree, with no Debian source package whose changelog it could carry.
    syntax-error-in-debian-changelog)
# A build without the window program (the sanitizer stages) still packages its desktop entry, so
# that the installed layout stays the same; such a package is for the tests, never shipped.
if(NOT listing MATCHES " \\./usr/bin/dialvane\n")
    list(APPEND accepted_warnings desktop-command-not-in-package)
endif()
find_program(LINTIAN lintian)
if(LINTIAN)
    execute_process(COMMAND ${LINTIAN} --tag-display-limit 0 ${debs} RESULT_VARIABLE status
                    OUTPUT_VARIABLE out ERROR_VARIABLE err)
    string(REGEX MATCHALL "(^|\n)[EW]: [^\n]+" findings "${out}")
    foreach(finding ${findings})
        string(STRIP "${finding}" finding)
        if(finding MATCHES "^E: ")
            string(APPEND problems "lintian: ${finding}\n")
        elseif(finding MATCHES "^W: [^ ]+: ([^ ]+)")
            if(NOT CMAKE_MATCH_1 IN_LIST accepted_warnings)
                string(APPEND problems "lintian warning without a reason here: ${finding}\n")
            endif()
        endif()
    endforeach()
else()
    string(APPEND problems "lintian is missing (scripts/setup installs it)\n")
endif()

if(problems)
    message(FATAL_ERROR "${problems}")
endif()
file(REMOVE_RECURSE ${WORK})
