# The one place that finds QScintilla. Debian ships neither a CMake config nor a
# pkg-config file for it, so look beside Qt's own headers and libraries.
# Point QSCINTILLA_ROOT at another build to use that one instead.
get_target_property(_qt_core_location Qt6::Core LOCATION)
get_filename_component(_qt_lib_dir "${_qt_core_location}" DIRECTORY)

find_path(QSCINTILLA_INCLUDE_DIR
    NAMES Qsci/qsciscintilla.h
    HINTS ${QSCINTILLA_ROOT}/include ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_HEADERS}
    PATH_SUFFIXES qt6 x86_64-linux-gnu/qt6)
find_library(QSCINTILLA_LIBRARY
    NAMES qscintilla2_qt6
    HINTS ${QSCINTILLA_ROOT}/lib ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_LIBS} ${_qt_lib_dir})

if(NOT QSCINTILLA_INCLUDE_DIR OR NOT QSCINTILLA_LIBRARY)
    message(FATAL_ERROR "QScintilla for Qt 6 not found (package libqscintilla2-qt6-dev)")
endif()

add_library(QScintilla::QScintilla UNKNOWN IMPORTED)
set_target_properties(QScintilla::QScintilla PROPERTIES
    IMPORTED_LOCATION "${QSCINTILLA_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${QSCINTILLA_INCLUDE_DIR}"
    INTERFACE_COMPILE_DEFINITIONS QSCINTILLA_DLL
    INTERFACE_LINK_LIBRARIES "Qt6::Widgets;Qt6::PrintSupport")
