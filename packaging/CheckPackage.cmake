# Makes the .deb with CPack and checks what a user installs from it: the programs, their shared
# files and desktop integration under /usr, control fields dpkg needs, and a packaged
# dialvane-cli that runs from an unpacked copy. Run by CTest with -DBINARY_DIR=... -DWORK=...
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
        usr/share/bash-completion/completions/dialvane-cli usr/share/man/man1/dialvane-cli.1
        usr/share/doc/dialvane/copyright)
    if(NOT listing MATCHES " \\./${path}\n")
        string(APPEND problems "missing /${path}\n")
    endif()
endforeach()
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

# The packaged program, unpacked elsewhere, finds its packaged settings and reports its version.
run(dpkg-deb -x ${debs} ${WORK}/root)
run(${WORK}/root/usr/bin/dialvane-cli --version)
if(NOT out MATCHES "dialvane-cli .* ${VERSION}")
    string(APPEND problems "dialvane-cli --version printed: ${out}\n")
endif()

if(problems)
    message(FATAL_ERROR "${problems}")
endif()
file(REMOVE_RECURSE ${WORK})
