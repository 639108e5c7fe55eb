# The one place that finds QScintilla. Debian ships neither a CMake config nor a
# pkg-config file for it, so look beside Qt's own headers and libraries.
# Point QSCINTILLA_ROOT at another build to use that one instead. By default that is our
# build of Debian's source with the patches of scripts/qscintilla/ (typing in large files
# costs no time per character of the document before the edit), made once by
# scripts/build-qscintilla.sh from `make deps`; without it, Debian's library.
if(NOT QSCINTILLA_ROOT)
    execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/build-qscintilla.sh --path
        OUTPUT_VARIABLE _qsci_patched OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(_qsci_patched AND EXISTS "${_qsci_patched}/lib/libqscintilla2_qt6.so")
        set(QSCINTILLA_ROOT "${_qsci_patched}")
    else()
        message(WARNING "QScintilla with our patches not built (scripts/build-qscintilla.sh): "
            "using Debian's, whose every edit costs time in proportion to its position")
    endif()
endif()
get_target_property(_qt_core_location Qt6::Core LOCATION)
get_filename_component(_qt_lib_dir "${_qt_core_location}" DIRECTORY)

find_path(QSCINTILLA_INCLUDE_DIR
    NAMES Qsci/qsciscintilla.h
    HINTS ${QSCINTILLA_ROOT}/include ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_HEADERS}
    PATH_SUFFIXES qt6 x86_64-linux-gnu/qt6)
if(QSCINTILLA_ROOT)
    # The patched build only: no fallback to Debian's behind the caller's back.
    find_library(_qsci_library NAMES qscintilla2_qt6 PATHS ${QSCINTILLA_ROOT}/lib
        NO_DEFAULT_PATH NO_CACHE)
else()
    find_library(_qsci_library
        NAMES qscintilla2_qt6
        HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_LIBS} ${_qt_lib_dir} NO_CACHE)
endif()
message(STATUS "QScintilla: ${_qsci_library}")

if(NOT QSCINTILLA_INCLUDE_DIR OR NOT _qsci_library)
    message(FATAL_ERROR "QScintilla for Qt 6 not found (package libqscintilla2-qt6-dev)")
endif()

add_library(QScintilla::QScintilla UNKNOWN IMPORTED)
set_target_properties(QScintilla::QScintilla PROPERTIES
    IMPORTED_LOCATION "${_qsci_library}"
    INTERFACE_INCLUDE_DIRECTORIES "${QSCINTILLA_INCLUDE_DIR}"
    INTERFACE_COMPILE_DEFINITIONS QSCINTILLA_DLL
    INTERFACE_LINK_LIBRARIES "Qt6::Widgets;Qt6::PrintSupport")

# The installed program takes our build of the library with it: it goes into a folder of
# the program's own, lib/quillora (never the system's library folders, where it would
# clash with Debian's package of the library), which the installed executables find
# through their run path.
if(QSCINTILLA_ROOT)
    file(GLOB _qsci_files "${QSCINTILLA_ROOT}/lib/libqscintilla2_qt6.so.*")
    install(FILES ${_qsci_files} DESTINATION lib/quillora)
    # `cmake --install --strip` (and the package) strip the executables; the library too.
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
        file(GLOB _libs \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/lib/quillora/libqscintilla2_qt6.so.*\")
        foreach(_lib \${_libs})
            if(NOT IS_SYMLINK \${_lib})
                execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
                    --remove-section=.comment --remove-section=.note \${_lib})
            endif()
        endforeach()
    endif()")
    set(QUILLORA_INSTALL_RPATH "$ORIGIN/../lib/quillora")
endif()
