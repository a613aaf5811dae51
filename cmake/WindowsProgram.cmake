# quennet_add_windows_program(name SOURCES ... LIBS ...): a windowed program (no console)
# that carries the program's resources: pictures, cursor, sounds, manifest.
function(quennet_add_windows_program name)
    cmake_parse_arguments(P "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} WIN32 ${P_SOURCES})
    if(MINGW)
        # Also for the programs whose entry point is main rather than WinMain.
        target_link_options(${name} PRIVATE -mwindows)
    endif()
    target_link_libraries(${name} PRIVATE ${P_LIBS})
    if(TARGET quennet_resources)
        target_sources(${name} PRIVATE $<TARGET_OBJECTS:quennet_resources>)
    endif()
endfunction()
