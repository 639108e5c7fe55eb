# The Debian package (`make deb`): CPack's DEB generator packs what this build's install
# rules put in place (`cmake --install` into /usr, stripped), so the package holds exactly
# what `make install` installs and costs no second compile. The version is the project's
# (project() in CMakeLists.txt); data/deb/changelog must start with an entry for it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillora)
set(CPACK_PACKAGE_VENDOR "The Quillora Pro developers")
set(CPACK_PACKAGE_CONTACT "The Quillora Pro developers <developers@quillora.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "source code and text editor for web and script authors")
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
    "Quillora Pro edits one document at a time in a syntax-highlighting editor"
    "and adds what a web and script author needs every day:"
    " - syntax schemes for sixteen languages, chosen from the menu, the file"
    "   extension or pasted text;"
    " - code proposals per language on Ctrl+Space that insert whole blocks,"
    "   editable in a table;"
    " - VBScript and JScript documents run inside the program, and from the"
    "   console with quillora-script;"
    " - search and replace across many files, with an undo of the last run;"
    " - text transformations, ten bookmarks, the document in a browser and an"
    "   FTP server in the file manager."
    ""
    "Documents are written back in the encoding and line breaks they were read"
    "with. The whole interface is in German and English, switched while it runs.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.quillora.com/")
# The libraries from the binaries (dpkg-shlibdeps, which follows the run path into
# lib/quillora); then what the program starts or loads at run time: the X11 platform
# plugin of Qt, xdg-open for the browser, documents and help, pkexec for the update
# installer.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "pkexec")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/PackagingCheck.cmake)
set(CPACK_QUILLORA_CHANGELOG ${PROJECT_SOURCE_DIR}/data/deb/changelog)
include(CPack)
