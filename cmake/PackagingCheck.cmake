# Run by cpack before it packs: the release history must name the version being packed.
file(STRINGS "${CPACK_QUILLORA_CHANGELOG}" _first LIMIT_COUNT 1)
if(NOT _first MATCHES "^quillora \\(${CPACK_PACKAGE_VERSION}\\) ")
    message(FATAL_ERROR "${CPACK_QUILLORA_CHANGELOG} starts with \"${_first}\": add an entry "
        "for version ${CPACK_PACKAGE_VERSION} (the project version) at its top")
endif()
