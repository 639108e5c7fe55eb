# quillora_add_test(<name> SOURCES <files...> LIBRARIES <targets...>)
# One Qt Test executable per unit, run by CTest on the offscreen platform with a
# private data folder, so no test touches the real home folder.
function(quillora_add_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} Qt6::Test)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    target_compile_definitions(${name} PRIVATE
        QUILLORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
        QUILLORA_BINARY_DIR="${CMAKE_BINARY_DIR}")
    add_test(NAME ${name} COMMAND ${name})
    set(home ${CMAKE_BINARY_DIR}/test-home/${name})
    set_tests_properties(${name} PROPERTIES
        TIMEOUT 300
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HOME=${home};XDG_DATA_HOME=${home}/share;XDG_CONFIG_HOME=${home}/config;XDG_RUNTIME_DIR=${home}/run;LC_ALL=C.UTF-8")
    file(MAKE_DIRECTORY ${home}/run)
    file(CHMOD ${home}/run DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
endfunction()
